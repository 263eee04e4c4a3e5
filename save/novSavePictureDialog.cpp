#include "save/novSavePictureDialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>

#include "app/FormatType.h"
#include "save/ItemFileDialog.h"

namespace {

// Wide enough for the JPEG controls, whose right-most group ends at 585.
constexpr QSize kMinimumOwnSize(680, 400);

QString Text(const std::string& text) { return QString::fromStdString(text); }

void SetTextColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

// The focusable controls inside container, in their focus order.
std::vector<QWidget*> FocusChainOf(QWidget* container) {
    std::vector<QWidget*> chain;
    for (QWidget* w = container->nextInFocusChain(); w != container; w = w->nextInFocusChain())
        if (container->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus)) chain.push_back(w);
    return chain;
}

// Chains the focus in the order of the given tab orders (lowest first). A
// group box takes its controls along in their own order.
void SetTabOrders(std::vector<std::pair<int, QWidget*>> controls) {
    std::stable_sort(controls.begin(), controls.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<QWidget*> chain;
    for (const auto& [order, control] : controls) {
        if (control->focusPolicy() & Qt::TabFocus) {
            chain.push_back(control);
        } else {
            const std::vector<QWidget*> inner = FocusChainOf(control);
            chain.insert(chain.end(), inner.begin(), inner.end());
        }
    }
    for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace

TnovSavePictureDialog::TnovSavePictureDialog(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    // Replacing a file is confirmed by the save flow, once.
    setOption(QFileDialog::DontConfirmOverwrite);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // The enlarged dialog is not resizable.
    setSizeGripEnabled(false);
    resize(size().expandedTo(kMinimumOwnSize));
    DCRResourceName = "TNoname";

    ExtraPanel = new QFrame(this);
    ExtraPanel->setObjectName(QStringLiteral("ExtraPanel"));
    ExtraPanel->setFrameShape(QFrame::NoFrame);
    // The controls' places and widths are laid out for the platform's
    // 11-pixel dialog face.
    QFont face(QStringLiteral("Tahoma"));
    face.setPixelSize(11);
    ExtraPanel->setFont(face);
    ExtraPanel->hide();
    GroupBox = new QGroupBox(ExtraPanel);
    GroupBox->setObjectName(QStringLiteral("GroupBox"));

    connect(this, &QFileDialog::filterSelected, this, [this] {
        if (shown_) DoTypeChange();
    });
}

TnovSavePictureDialog::~TnovSavePictureDialog() = default;

void TnovSavePictureDialog::SetFilter(const std::string& filter) {
    setNameFilters(QString::fromStdString(OpenFilterToQt(filter)).split(QStringLiteral(";;")));
    SetFilterIndex(filterIndex_);
}

int TnovSavePictureDialog::FilterIndex() const { return shown_ ? FileTypeComboIndex(*this) : filterIndex_; }

void TnovSavePictureDialog::SetFilterIndex(int index) {
    filterIndex_ = index;
    SelectFileTypeCombo(*this, index);
}

bool TnovSavePictureDialog::Execute() {
    firstShow_ = true;
    if (!InitialDir.empty()) setDirectory(Text(InitialDir));
    if (!FileName.empty()) selectFile(Text(FileName));
    StayAboveActiveWindow(*this);
    const bool confirmed = exec() == QDialog::Accepted;
    if (confirmed) FileName = selectedFiles().value(0).toStdString();
    return confirmed;
}

void TnovSavePictureDialog::showEvent(QShowEvent* event) {
    DoShow();
    QFileDialog::showEvent(event);
}

void TnovSavePictureDialog::DoShow() {
    GroupBox->setTitle(Text(GMOption));
    if (firstShow_) {
        ownSize_ = size();
        ownMargins_ = layout()->contentsMargins();
        firstShow_ = false;
    }
    // The dialog's own area: its controls inside the layout's margins.
    const int w = ownSize_.width() - ownMargins_.left() - ownMargins_.right();
    const int h = ownSize_.height();
    shown_ = true;
    FreeControls();
    BuildControls(FileTypeComboIndex(*this));
    ExtraPanel->setGeometry(ownMargins_.left(), h, w, kPanelHeight);
    GroupBox->setGeometry(0, 0, w, kPanelHeight);
    ExtraPanel->show();
    // The dialog's own controls keep their area; the window grows by the
    // panel below them.
    layout()->setContentsMargins(ownMargins_.left(), ownMargins_.top(), ownMargins_.right(),
                                 ownMargins_.bottom() + kPanelHeight);
    setFixedSize(ownSize_.width(), h + kPanelHeight);
}

void TnovSavePictureDialog::DoTypeChange() {
    FreeControls();
    GroupBox->repaint();
    BuildControls(FileTypeComboIndex(*this));
}

void TnovSavePictureDialog::DoClose() {
    const int index = FileTypeComboIndex(*this);
    if (index == 12 && controls_.ResourceName) DCRResourceName = controls_.ResourceName->text().toStdString();
    FreeControls();
    filterIndex_ = index;
    shown_ = false;
    // Back to the dialog's own size, so the next run grows it once again.
    if (!firstShow_) {
        ExtraPanel->hide();
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        layout()->setContentsMargins(ownMargins_);
        resize(ownSize_);
    }
}

bool TnovSavePictureDialog::DoCanClose() { return true; }

void TnovSavePictureDialog::done(int result) {
    if (result == QDialog::Accepted && !DoCanClose()) return;
    DoClose();
    QFileDialog::done(result);
}

void TnovSavePictureDialog::FreeControls() {
    for (QObject* child : GroupBox->children())
        if (child->isWidgetType()) delete child;
    controls_ = {};
    shownIndex_ = 0;
}

QCheckBox* TnovSavePictureDialog::AddCheckBox(QWidget* parent, const std::string& caption, int left, int top,
                                              int width, bool checked, bool TSaveDialogOptions::*property) {
    auto* box = new QCheckBox(Text(caption), parent);
    box->setGeometry(left, top, width, 17);
    box->setChecked(checked);
    if (property) connect(box, &QCheckBox::clicked, this, [this, property](bool on) { this->*property = on; });
    box->show();
    return box;
}

void TnovSavePictureDialog::BuildControls(int filterIndex) {
    TControls& c = controls_;
    auto label = [this](const std::string& caption, int left, int top, int width = 0, int height = 0) {
        auto* l = new QLabel(Text(caption), GroupBox);
        l->move(left, top);
        if (width > 0)
            l->resize(width, height);
        else
            l->adjustSize();
        l->show();
        return l;
    };
    switch (filterIndex) {
        case 1: BuildJPEGControls(); break;
        case 2:
            c.Transparent = AddCheckBox(GroupBox, GMPNGTransparent, 200, 21, 200, PNGTransparent,
                                        &TSaveDialogOptions::PNGTransparent);
            c.ReduceTo256Color = AddCheckBox(GroupBox, GMReduceTo256Color, 16, 61, 155, PNGReduceTo256Color,
                                             &TSaveDialogOptions::PNGReduceTo256Color);
            c.Grayscale =
                AddCheckBox(GroupBox, GMGrayscale, 16, 41, 155, PNGGrayscale, &TSaveDialogOptions::PNGGrayscale);
            c.Interlaced = AddCheckBox(GroupBox, GMInterlacedPNG, 16, 21, 155, PNGInterlaced,
                                       &TSaveDialogOptions::PNGInterlaced);
            break;
        case 4:
            c.Transparent = AddCheckBox(GroupBox, GMGIFTransparent, 16, 21, 200, GIFTransparent,
                                        &TSaveDialogOptions::GIFTransparent);
            break;
        case 5:
            c.RLECompression = AddCheckBox(GroupBox, GMRLECompression, 16, 21, 150, TGARLECompression,
                                           &TSaveDialogOptions::TGARLECompression);
            break;
        case 12:
            c.ResourceNameLabel = label(GMResourceName, 16, 22, 150, 17);
            c.ResourceName = new QLineEdit(Text(DCRResourceName), GroupBox);
            c.ResourceName->setGeometry(16, 38, 150, 17);
            c.ResourceName->show();
            break;
        default: c.NoOption = label(GMNoOption, 16, 21, 140, 17); break;
    }
    shownIndex_ = filterIndex;
}

void TnovSavePictureDialog::BuildJPEGControls() {
    TControls& c = controls_;
    c.QualityLabel = new QLabel(Text(GMQuality), GroupBox);
    c.QualityLabel->move(16, 21);
    c.QualityLabel->adjustSize();
    c.QualityValue = new QLabel(GroupBox);
    c.QualityValue->setGeometry(60, 21, 22, c.QualityLabel->height());

    c.QualityBar = new QSlider(Qt::Horizontal, GroupBox);
    c.QualityBar->setGeometry(84, 21, 150, 28);
    c.QualityBar->setRange(0, 100);
    c.QualityBar->setSingleStep(1);
    c.QualityBar->setTickInterval(10);
    c.QualityBar->setTickPosition(QSlider::TicksBelow);
    c.QualityBar->setValue(JPEGQuality);
    connect(c.QualityBar, &QSlider::valueChanged, this, [this](int position) {
        JPEGQuality = position;
        ShowQuality();
    });

    auto step = [this](const char* caption, int left, int top, int delta, const QColor& colour) {
        auto* button = new QPushButton(QString::fromLatin1(caption), GroupBox);
        button->setGeometry(left, top, 23, 20);
        button->setAutoDefault(false);
        SetTextColour(*button, QPalette::ButtonText, colour);
        connect(button, &QPushButton::clicked, this, [this, delta] { SetQuality(StepQuality(JPEGQuality, delta)); });
        return button;
    };
    c.Minus5 = step("-5", 242, 21, -5, Qt::red);
    c.Plus5 = step("+5", 266, 21, 5, Qt::blue);
    c.Minus1 = step("-1", 242, 43, -1, Qt::red);
    c.Plus1 = step("+1", 266, 43, 1, Qt::blue);

    c.Progressive = AddCheckBox(GroupBox, GMProgressiveJPEG, 16, 56, 140, JPEGProgressive,
                                &TSaveDialogOptions::JPEGProgressive);
    c.Grayscale =
        AddCheckBox(GroupBox, GMGrayscale, 16, 76, 140, JPEGGrayscale, &TSaveDialogOptions::JPEGGrayscale);

    c.SubSampling = new QGroupBox(Text(GMSubSampling), GroupBox);
    c.SubSampling->setGeometry(315, 21, 121, 75);
    c.SubSampling420 = new QRadioButton(Text(GMSubSampling420), c.SubSampling);
    c.SubSampling420->setGeometry(16, 24, 113, 17);
    c.SubSampling444 = new QRadioButton(Text(GMSubSampling444), c.SubSampling);
    c.SubSampling444->setGeometry(16, 47, 113, 17);
    (JPEGSubsampling == 2 ? c.SubSampling444 : c.SubSampling420)->setChecked(true);
    connect(c.SubSampling420, &QRadioButton::clicked, this, [this] { JPEGSubsampling = 0; });
    connect(c.SubSampling444, &QRadioButton::clicked, this, [this] { JPEGSubsampling = 2; });
    SetTabOrders({{1, c.SubSampling420}, {0, c.SubSampling444}});

    c.Exif = new QGroupBox(Text(GMExif), GroupBox);
    c.Exif->setGeometry(442, 21, 143, 75);
    c.ExifCopy = AddCheckBox(c.Exif, GMExifCopy, 16, 24, 105, ExifCopy, nullptr);
    c.ExifCopy->setEnabled(ExifCopyEnabled);
    c.ExifThumbUpdate = AddCheckBox(c.Exif, GMExifThumbUpdate, 16, 47, 135, ExifThumbUpdate,
                                    &TSaveDialogOptions::ExifThumbUpdate);
    c.ExifThumbUpdate->setEnabled(ExifThumbUpdateEnabled);
    connect(c.ExifCopy, &QCheckBox::clicked, this, [this](bool on) {
        ExifCopy = on;
        // Without a thumbnail in the source there is nothing to update,
        // whatever the copy box says.
        if (ExifThumbUpdateEnabled) controls_.ExifThumbUpdate->setEnabled(on);
    });
    SetTabOrders({{1, c.ExifCopy}, {0, c.ExifThumbUpdate}});

    SetTabOrders({{8, c.QualityBar},
                  {7, c.Minus5},
                  {6, c.Plus5},
                  {5, c.Minus1},
                  {4, c.Plus1},
                  {3, c.Progressive},
                  {2, c.Grayscale},
                  {1, c.SubSampling},
                  {0, c.Exif}});
    ShowQuality();
    for (QObject* child : GroupBox->children())
        if (child->isWidgetType()) static_cast<QWidget*>(child)->show();
}

void TnovSavePictureDialog::SetQuality(int32_t quality) {
    JPEGQuality = quality;
    controls_.QualityBar->setValue(quality);
    ShowQuality();
}

void TnovSavePictureDialog::ShowQuality() {
    const TRgb colour = QualityColour(JPEGQuality);
    controls_.QualityValue->setText(QString::number(JPEGQuality));
    SetTextColour(*controls_.QualityValue, QPalette::WindowText, QColor(colour.R, colour.G, colour.B));
}
