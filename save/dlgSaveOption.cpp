#include "save/dlgSaveOption.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <charconv>

namespace {
QString Text(const char* text) { return QString::fromUtf8(text); }
}  // namespace

TFormSaveOption::TFormSaveOption(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FormSaveOption"));
    setWindowTitle(QStringLiteral("Save options"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(482, 208);

    auto check = [this](QWidget* parent, const char* name, const char* caption, int left, int top, int width) {
        QCheckBox* box = Own(new QCheckBox(Text(caption), parent), name);
        box->setGeometry(left, top, width, 17);
        return box;
    };
    auto page = [this](const char* name, const char* caption) {
        QWidget* sheet = Own(new QWidget, name);
        PageControl1->addTab(sheet, Text(caption));
        return sheet;
    };

    PageControl1 = Own(new QTabWidget(this), "PageControl1");
    PageControl1->setGeometry(8, 8, 466, 161);

    TabSheet1 = page("TabSheet1", "JPEG");
    LJPEGQuality = Own(new QLabel(Text("Quality"), TabSheet1), "LJPEGQuality");
    // Sized for the longest caption a language gives it, as the texts
    // change after the form is built.
    LJPEGQuality->setGeometry(16, 16, 54, 15);
    EditJPEGQuality = Own(new QLineEdit(QStringLiteral("80"), TabSheet1), "EditJPEGQuality");
    EditJPEGQuality->setGeometry(72, 13, 65, 21);
    // Wider than designed, so the Japanese captions are not cut off.
    CBJPEGProgressive = check(TabSheet1, "CBJPEGProgressive", "Progressive", 16, 48, 140);
    CBJPEGGrayscale = check(TabSheet1, "CBJPEGGrayscale", "Grayscale", 16, 72, 140);
    GBSubsampling = Own(new QGroupBox(Text("Subsampling"), TabSheet1), "GBSubsampling");
    GBSubsampling->setGeometry(160, 13, 115, 73);
    RBSubsampling420 = Own(new QRadioButton(Text("4:2:0"), GBSubsampling), "RBSubsampling420");
    RBSubsampling420->setGeometry(8, 25, 89, 17);
    RBSubsampling420->setChecked(true);
    RBSubsampling444 = Own(new QRadioButton(Text("4:4:4"), GBSubsampling), "RBSubsampling444");
    RBSubsampling444->setGeometry(8, 48, 89, 17);
    GBExif = Own(new QGroupBox(Text("Exif"), TabSheet1), "GBExif");
    GBExif->setGeometry(281, 13, 168, 73);
    CBExifCopy = check(GBExif, "CBExifCopy", "Copy Exif", 16, 24, 97);
    CBExifCopy->setChecked(true);
    CBExifThumbUpdate = check(GBExif, "CBExifThumbUpdate", "Update Exif thumbnail", 16, 48, 145);
    CBExifThumbUpdate->setChecked(true);

    TabSheet2 = page("TabSheet2", "PNG");
    CBPNGInterlaced = check(TabSheet2, "CBPNGInterlaced", "Interlaced PNG ( ADAM7 )", 16, 17, 183);
    CBPNGGrayscale = check(TabSheet2, "CBPNGGrayscale", "Grayscale", 16, 40, 183);
    CBPNGReduceTo256Color = check(TabSheet2, "CBPNGReduceTo256Color", "Reduce to 256 color", 16, 65, 129);
    CBPNGTransparent = check(TabSheet2, "CBPNGTransparent", "Transparent ( bottom-left )", 16, 88, 183);

    TabSheet3 = page("TabSheet3", "GIF");
    CBGIFTransparent = check(TabSheet3, "CBGIFTransparent", "Transparent ( bottom-left )", 16, 16, 183);

    TabSheet5 = page("TabSheet5", "Targa");
    CBTGARLECompression = check(TabSheet5, "CBTGARLECompression", "RLE Compression", 16, 16, 153);

    TabSheet4 = page("TabSheet4", "DCR");
    LDCRResourceName = Own(new QLabel(Text("Resource name"), TabSheet4), "LDCRResourceName");
    LDCRResourceName->setGeometry(16, 16, 249, 15);
    EditDCRResourceName = Own(new QLineEdit(TabSheet4), "EditDCRResourceName");
    EditDCRResourceName->setGeometry(16, 35, 249, 21);

    ButtonOK = Own(new QPushButton(Text("OK"), this), "ButtonOK");
    ButtonOK->setGeometry(311, 175, 75, 25);
    ButtonOK->setDefault(true);
    ButtonCancel = Own(new QPushButton(Text("Cancel"), this), "ButtonCancel");
    ButtonCancel->setGeometry(399, 175, 75, 25);
    connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormSaveOption::SetJapaneseCaptions() {
    const std::pair<QObject*, const char*> captions[] = {
        {LJPEGQuality, "品質"},
        {CBJPEGProgressive, "プログレッシブ JPEG"},
        {CBJPEGGrayscale, "グレイスケール"},
        {GBSubsampling, "サブサンプリング"},
        {RBSubsampling420, "4:2:0（推奨）"},
        {CBExifCopy, "Exifをコピー"},
        {CBExifThumbUpdate, "Exifサムネイルを更新"},
        {CBPNGInterlaced, "インターレース ( ADAM7 )"},
        {CBPNGGrayscale, "グレイスケール"},
        {CBPNGReduceTo256Color, "256色へ減色"},
        {CBPNGTransparent, "透過PNG （左下の色を透過）"},
        {CBGIFTransparent, "透過GIF （左下の色を透過）"},
        {CBTGARLECompression, "RLE で圧縮"},
        {LDCRResourceName, "リソースの名前"},
        {ButtonOK, "OK"},
        {ButtonCancel, "キャンセル"},
    };
    setWindowTitle(Text("保存オプション"));
    for (const auto& [component, caption] : captions) {
        if (auto* label = qobject_cast<QLabel*>(component))
            label->setText(Text(caption));
        else if (auto* group = qobject_cast<QGroupBox*>(component)) {
            group->setTitle(Text(caption));
        } else {
            static_cast<QAbstractButton*>(component)->setText(Text(caption));
        }
    }
}

void TFormSaveOption::ShowPagesFor(const QString& displayName) {
    for (int i = 0; i < PageControl1->count(); ++i) {
        const bool match = displayName.contains(PageControl1->tabText(i), Qt::CaseSensitive);
        PageControl1->setTabVisible(i, match);
        if (match) PageControl1->setCurrentIndex(i);
    }
}

std::optional<int32_t> TFormSaveOption::Quality() const {
    const std::string text = EditJPEGQuality->text().trimmed().toStdString();
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

void TFormSaveOption::ButtonOKClick() {
    // A quality that is no whole number is not taken: the form stays open
    // with the text selected for correction.
    if (!Quality()) {
        QApplication::beep();
        EditJPEGQuality->setFocus();
        EditJPEGQuality->selectAll();
        return;
    }
    accept();
}
