#include "lang/vorlixLangDefault.h"

#include <cstring>
#include <stdexcept>

#include "lang/IniLangEx.h"
#include "platform/SystemInfo.h"

namespace {

constexpr TMessageEntry kTable[] = {
    {"MISC_MBT_CONVERTERR", "Convert error", nullptr},
    {"MISC_MBM_CONVERTERR", "UNKOWN file format", nullptr},
    {"MISC_MBT_FILEREPLACE", "Confirm File Replace", nullptr},
    {"MISC_MBM_FILEREPLACE", "A file already exist, would you like to replace the existing file ?", nullptr},
    {"MISC_RESAMPLING_SAMPLE_TITLE", "Vorlix Resampling sample list", nullptr},
    {"MISC_RESAMPLING_SAMPLE_CHARSET", "iso-8859-1", nullptr},
    {"MISC_VORLIX_PREPROCESS", "Preprocessing: Delete high freq element ", nullptr},
    {"MISC_VORLIX_SELECTED_ALGORITHM", "Selected algorithm: ", nullptr},
    {"MISC_LANGINI_ENABLED", "", nullptr},
    {"MISC_OPTION", "Option", "オプション"},
    {"MISC_QUALITY", "Quality", "品質"},
    {"MISC_PROGRESSIVEJPEG", "Progressive JPEG", "プログレッシブ JPEG"},
    {"MISC_GRAYSCALE", "Grayscale", "グレイスケール"},
    {"MISC_INTERLACEDPNG", "Interlaced PNG(ADAM7)", "インターレース ( ADAM7 )"},
    {"MISC_RLECOMPRESSION", "Run length encoding", "RLE で圧縮"},
    {"MISC_RESOURCENAME", "Resource name", "リソース名"},
    {"MISC_REDUCETO256COLOR", "Reduce to 256 color", "256色へ減色"},
    {"MISC_NOOPTION", "Nothing", "オプションはありません。"},
    {"MISC_GIFTRANSPARENT", "Transparent(bottom-left)", "透過GIF （左下の色を透過）"},
    {"MISC_PNGTRANSPARENT", "Transparent(bottom-left)", "透過PNG （左下の色を透過）"},
    {"MISC_SUBSAMPLING", "Sub sampling", "サブサンプリング"},
    {"MISC_SUBSAMPLING420", "4:2:0", "4:2:0（推奨）"},
    {"MISC_SUBSAMPLING444", "4:4:4", "4:4:4"},
    {"MISC_EXIF", "Exif", "Exif"},
    {"MISC_EXIFCOPY", "Copy exif", "Exifをコピー"},
    {"MISC_EXIFTHUMBUPDATE", "Update exif thumbnail", "Exifサムネイルを更新"},
    {"MISC_MBM_WIDTHTOOSMALL", "The width must be at least 1 pixel.", nullptr},
    {"MISC_MBM_HEIGHTTOOSMALL", "The height must be at least 1 pixel.", nullptr},
    {"MISC_MBM_LOADWARNING", "The picture was opened with a warning: %s", nullptr},
    {"MISC_MBM_ENDSEARLY", "The file ends early; the rest of the picture is missing.", nullptr},
    {"MISC_STATUS_RUNNING", "Running %s...", nullptr},
};

// The published order of the captions differs from the table's in one
// place: GMNoOption comes after the two transparency captions.
constexpr std::array<const char*, 17> kCaptionKeys = {
    "MISC_OPTION",        "MISC_QUALITY",          "MISC_PROGRESSIVEJPEG", "MISC_GRAYSCALE",
    "MISC_INTERLACEDPNG", "MISC_RLECOMPRESSION",   "MISC_RESOURCENAME",    "MISC_REDUCETO256COLOR",
    "MISC_GIFTRANSPARENT", "MISC_PNGTRANSPARENT",  "MISC_NOOPTION",        "MISC_SUBSAMPLING",
    "MISC_SUBSAMPLING420", "MISC_SUBSAMPLING444",  "MISC_EXIF",            "MISC_EXIFCOPY",
    "MISC_EXIFTHUMBUPDATE"};

std::string Lookup(const char* key) { return LookupMessage(Message(key).Default, key); }

// Opens the current language's file for one batch of look-ups and releases
// it on every path.
class LanguageFileBatch {
public:
    LanguageFileBatch() { LanguageFile = OpenLanguageFile(LanguageNumber); }
    ~LanguageFileBatch() { LanguageFile.reset(); }
    LanguageFileBatch(const LanguageFileBatch&) = delete;
    LanguageFileBatch& operator=(const LanguageFileBatch&) = delete;
};

}  // namespace

TMessageBoxTexts MessageBoxTexts = {"Convert error", "UNKOWN file format", "Confirm File Replace",
                                    "A file already exist, would you like to replace the existing file ?"};
TPageTexts PageTexts = {"Vorlix Resampling sample list", "iso-8859-1", "Preprocessing: Delete high freq element ",
                        "Selected algorithm: "};

std::span<const TMessageEntry> MessageTable() { return kTable; }

const TMessageEntry& Message(const char* key) {
    for (const TMessageEntry& entry : kTable)
        if (std::strcmp(entry.Key, key) == 0) return entry;
    throw std::invalid_argument(std::string("no message ") + key);
}

const std::array<const char*, 17>& SaveDialogCaptionKeys() { return kCaptionKeys; }

void LoadMessageBoxTexts() {
    LanguageFileBatch batch;
    MessageBoxTexts = {Lookup("MISC_MBT_CONVERTERR"), Lookup("MISC_MBM_CONVERTERR"), Lookup("MISC_MBT_FILEREPLACE"),
                       Lookup("MISC_MBM_FILEREPLACE")};
}

TMainWindowTexts MainWindowTexts = {Message("MISC_MBM_WIDTHTOOSMALL").Default, Message("MISC_MBM_HEIGHTTOOSMALL").Default,
                                    Message("MISC_MBM_LOADWARNING").Default, Message("MISC_MBM_ENDSEARLY").Default,
                                    Message("MISC_STATUS_RUNNING").Default};

void LoadMainWindowTexts() {
    LanguageFileBatch batch;
    MainWindowTexts = {Lookup("MISC_MBM_WIDTHTOOSMALL"), Lookup("MISC_MBM_HEIGHTTOOSMALL"),
                       Lookup("MISC_MBM_LOADWARNING"), Lookup("MISC_MBM_ENDSEARLY"), Lookup("MISC_STATUS_RUNNING")};
}

void LoadPageTexts() {
    LoadMessageBoxTexts();
    LanguageFileBatch batch;
    PageTexts = {Lookup("MISC_RESAMPLING_SAMPLE_TITLE"), Lookup("MISC_RESAMPLING_SAMPLE_CHARSET"),
                 Lookup("MISC_VORLIX_PREPROCESS"), Lookup("MISC_VORLIX_SELECTED_ALGORITHM")};
}

namespace {
constexpr std::array<TControlPlacement, 7> kJapaneseLayout = {{
    {"LWidth", 80, 12}, {"EditWidth", 96, 0}, {"LHeight", 160, 31}, {"EditHeight", 194, 0},
    {"LScale", 280, 46}, {"EditRatio", 328, 0}, {"Label5", 388, 0},
}};
constexpr std::array<TControlPlacement, 7> kOtherLayout = {{
    {"LWidth", 80, 32}, {"EditWidth", 120, 0}, {"LHeight", 192, 43}, {"EditHeight", 242, 0},
    {"LScale", 328, 55}, {"EditRatio", 384, 0}, {"Label5", 444, 0},
}};
}  // namespace

const std::array<TControlPlacement, 7>& LabelLayout(int languageNumber) {
    return languageNumber == 2 ? kJapaneseLayout : kOtherLayout;
}

std::array<std::string, 17> LookupSaveDialogCaptions() {
    LanguageFileBatch batch;
    const bool fromFile = GetDefaultLocaleId() != 1041 || !LookupMessage("", "MISC_LANGINI_ENABLED").empty();
    std::array<std::string, 17> captions;
    for (size_t i = 0; i < kCaptionKeys.size(); ++i)
        captions[i] = fromFile ? Lookup(kCaptionKeys[i]) : Message(kCaptionKeys[i]).Japanese;
    return captions;
}
