#include "save/SaveDialogPassport.h"

#include "lang/vorlixLangDefault.h"
#include "platform/SystemInfo.h"

namespace {
TSaveDialogBackendFactory& BackendFactory() {
    static TSaveDialogBackendFactory factory;
    return factory;
}
}  // namespace

void SetSaveDialogBackendFactory(TSaveDialogBackendFactory factory) { BackendFactory() = std::move(factory); }

TSaveDialogPassport::TSaveDialogPassport() : useVistaDialog_(GetOsMajorVersion() >= 6) {}

TSaveDialogPassport::~TSaveDialogPassport() = default;

TSaveDialogBackend* TSaveDialogPassport::Backend() {
    if (!backend_ && BackendFactory()) backend_ = BackendFactory()(useVistaDialog_);
    return backend_.get();
}

bool TSaveDialogPassport::Execute() {
    TSaveDialogBackend* backend = Backend();
    return backend != nullptr && backend->Execute(*this);
}

const std::array<TSaveDialogPassport::TCaptionMember, 17>& TSaveDialogPassport::CaptionMembers() {
    using P = TSaveDialogPassport;
    static const std::array<TCaptionMember, 17> members = {
        &P::GMOption,         &P::GMQuality,          &P::GMProgressiveJPEG, &P::GMGrayscale,
        &P::GMInterlacedPNG,  &P::GMRLECompression,   &P::GMResourceName,    &P::GMReduceTo256Color,
        &P::GMGIFTransparent, &P::GMPNGTransparent,   &P::GMNoOption,        &P::GMSubSampling,
        &P::GMSubSampling420, &P::GMSubSampling444,   &P::GMExif,            &P::GMExifCopy,
        &P::GMExifThumbUpdate};
    return members;
}

TFileType4Save TSaveDialogPassport::SelectedFileType() const {
    // Nothing is selected before a dialog has run.
    return backend_ ? backend_->SelectedFileType() : sftUNKNOWN;
}

void LoadSaveDialogCaptions(TSaveDialogPassport& dialog) {
    const std::array<std::string, 17> captions = LookupSaveDialogCaptions();
    const auto& members = TSaveDialogPassport::CaptionMembers();
    for (size_t i = 0; i < members.size(); ++i) dialog.*members[i] = captions[i];
}
