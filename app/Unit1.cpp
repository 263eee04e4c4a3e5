#include "app/Unit1.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QRadioButton>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>
#include <utility>

#include "app/ComLineEX.h"
#include "app/CommandGuard.h"
#include "app/EvalThroughput.h"
#include "app/EvtScroll.h"
#include "app/FormatType.h"
#include "app/ImageControl.h"
#include "app/LanguageWidgets.h"
#include "app/NumEdit.h"
#include "app/OpenPictureDialog.h"
#include "app/QtTranslations.h"
#include "app/SamplePage.h"
#include "app/dlgPrefix.h"
#include "app/dlgSampleOutputFormat.h"
#include "app/SaveFlowMessages.h"
#include "app/TestCard.h"
#include "app/WindowMessages.h"
#include "formats/GLDPNGImage.h"
#include "images/Effector/CustomFilter.h"
#include "images/Effector/DCTUtils.h"
#include "lang/IniLangEx.h"
#include "lang/vorlixLangDefault.h"
#include "platform/Exceptions.h"
#include "platform/IniService.h"
#include "platform/ProgramPlaces.h"
#include "save/novExifMania.h"
#include "platform/SysUtils.h"
#include "platform/SystemInfo.h"
#include "save/AlphaPlane.h"
#include "save/SaveDispatch.h"

#ifndef VORLIX_VERSION
#define VORLIX_VERSION "1.0.0"
#endif

namespace {
constexpr int kClientWidth = 589;
constexpr int kClientHeight = 362;
constexpr int kDesignedLeft = 272;
constexpr int kDesignedTop = 174;
constexpr int kPanelHeight = 41;
constexpr int kEditWidth = 57;
constexpr int kWheelStep = 20;
// The workspace colour of the platform the window was designed on.
const QColor kAppWorkspace(171, 171, 171);

QString Caption(const char* text) { return QString::fromUtf8(text); }
std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

// While a long command holds the interface thread: the busy cursor, the
// status naming the command, and the window repainted before the work
// starts, so the menu just closed does not stay drawn over the picture. A
// command that fails puts the previous status back.
class TBusyStatus {
public:
    TBusyStatus(QWidget& window, QLabel& status, const QString& running) : status_(status), previous_(status.text()) {
        if (!running.isEmpty()) status_.setText(running);
        // Only what is already queued (the closed menu's exposure, the
        // cursor, paint requests): no input, so no other command starts.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        window.repaint();
    }
    ~TBusyStatus() {
        if (!done_) status_.setText(previous_);
    }
    TBusyStatus(const TBusyStatus&) = delete;
    TBusyStatus& operator=(const TBusyStatus&) = delete;
    void Done() { done_ = true; }

private:
    TWaitCursor wait_;  // first: the cursor changes before anything else
    QLabel& status_;
    QString previous_;
    bool done_ = false;
};
}  // namespace

TForm1::TForm1(const TForm1Options& options, QWidget* parent)
    : QMainWindow(parent), settingsFile_(options.SettingsFile) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vorlix " VORLIX_VERSION));
    setFont(DesignedDialogFont());
    CreateComponents();
    CreateMenu();
    ConnectHandlers();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    move(kDesignedLeft, kDesignedTop);
    FormCreate(options);
}

TForm1::~TForm1() = default;

// ---------------------------------------------------------------------------
// Components

void TForm1::CreateComponents() {
    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(client);

    PanelTop = Own(new QWidget(client), "PanelTop");
    PanelTop->setFixedHeight(kPanelHeight);
    column->addWidget(PanelTop);

    auto label = [this](const char* name, const char* caption, int left, int width) {
        QLabel* l = Own(new QLabel(Caption(caption), PanelTop), name);
        l->setGeometry(left, 13, width, 16);
        return l;
    };
    auto edit = [this](const char* name, int left) {
        TNumEdit* e = Own(new TNumEdit(PanelTop), name);
        e->setGeometry(left, 10, kEditWidth, 21);
        e->setEnabled(false);
        return e;
    };
    LOutput = label("LOutput", "出力サイズ", 8, 64);
    LWidth = label("LWidth", "幅", 80, 12);
    EditWidth = edit("EditWidth", 96);
    LHeight = label("LHeight", "x 高さ", 160, 31);
    EditHeight = edit("EditHeight", 194);
    LScale = label("LScale", "スケール", 280, 46);
    EditRatio = edit("EditRatio", 328);
    Label5 = label("Label5", "[%]", 388, 24);

    ScrollBox1 = Own(new TEventScrollBox(client), "ScrollBox1");
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette workspace = ScrollBox1->viewport()->palette();
    workspace.setColor(QPalette::Window, kAppWorkspace);
    ScrollBox1->viewport()->setPalette(workspace);
    ScrollBox1->viewport()->setAutoFillBackground(true);
    column->addWidget(ScrollBox1, 1);

    Image1 = Own(new TImage, "Image1");
    ScrollBox1->setWidget(Image1);

    StatusBar1 = Own(new QStatusBar(this), "StatusBar1");
    for (int width : {200, 200, 50}) {
        auto* panel = new QLabel(StatusBar1);
        panel->setFixedWidth(width);
        StatusBar1->addWidget(panel);
        statusPanels_.push_back(panel);
    }
    setStatusBar(StatusBar1);

    OpenPictureDialog1 = Own(new TOpenPictureDialog(this), "OpenPictureDialog1");
    saveDialog_ = std::make_unique<TSaveDialogPassport>();
    SaveDialog1 = saveDialog_.get();
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const char* caption) {
    QAction* action = Own(new QAction(Caption(caption), this), name);
    menu->addAction(action);
    return action;
}

void TForm1::CreateMenu() {
    MainMenu1 = Own(menuBar(), "MainMenu1");
    auto submenu = [this](QWidget* parentMenu, const char* name, const char* caption) {
        QMenu* menu = Own(new QMenu(Caption(caption), parentMenu), name);
        menu->setTitle(Caption(caption));
        if (auto* bar = qobject_cast<QMenuBar*>(parentMenu))
            bar->addMenu(menu);
        else
            static_cast<QMenu*>(parentMenu)->addMenu(menu);
        return menu;
    };
    auto radioGroup = [this](std::initializer_list<QAction*> items, QAction* checked) {
        auto* group = new QActionGroup(this);
        group->setExclusive(true);
        for (QAction* item : items) {
            item->setCheckable(true);
            group->addAction(item);
        }
        checked->setChecked(true);
    };

    FMFile = submenu(MainMenu1, "FMFile", "ファイル(&F)");
    FMOpen = AddItem(FMFile, "FMOpen", "開く(&O)...");
    FMOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FMReOpen = AddItem(FMFile, "FMReOpen", "リロード");
    FMReOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    FMSampleLoad = AddItem(FMFile, "FMSampleLoad", "サンプル");
    FMSampleLoad->setVisible(false);
    FMFile->addSeparator();
    FMSaveAs = AddItem(FMFile, "FMSaveAs", "指定形式で保存(&A)...");
    FMFile->addSeparator();
    FMLanguage = submenu(FMFile, "FMLanguage", "言語設定");
    FMEnglish = AddItem(FMLanguage, "FMEnglish", "英語");
    FMJapanese = AddItem(FMLanguage, "FMJapanese", "日本語");
    radioGroup({FMEnglish, FMJapanese}, FMEnglish);
    FMFile->addSeparator();
    FMExit = AddItem(FMFile, "FMExit", "終了(&X)");

    FMResample = submenu(MainMenu1, "FMResample", "リサンプル(&R)");
    FMLanczos4 = AddItem(FMResample, "FMLanczos4", "Lanczos&4");
    FMLanczos3 = AddItem(FMResample, "FMLanczos3", "Lanczos&3");
    FMLanczos2 = AddItem(FMResample, "FMLanczos2", "Lanczos&2");
    FMMitchell = AddItem(FMResample, "FMMitchell", "&Mitchell");
    FMLagrange = AddItem(FMResample, "FMLagrange", "Lag&range");
    FMHermite = AddItem(FMResample, "FMHermite", "&Hermite");
    FMBell = AddItem(FMResample, "FMBell", "&Bell");
    FMBSpline = AddItem(FMResample, "FMBSpline", "B-&Spline");
    FMGauss = AddItem(FMResample, "FMGauss", "&Gauss");
    FMBicubic = AddItem(FMResample, "FMBicubic", "Bi&cubic （双３次補間）");
    FMBilinear = AddItem(FMResample, "FMBilinear", "Bi&linear （線形補間）");
    FMResample->addSeparator();
    FMAveragePixel = AddItem(FMResample, "FMAveragePixel", "平均画素法(&A)");
    FMNearestNeighbor = AddItem(FMResample, "FMNearestNeighbor", "&Nearest Neighbor （最近傍法）");
    FMTest1 = AddItem(FMResample, "FMTest1", "Test1");
    FMTest2 = AddItem(FMResample, "FMTest2", "Test2");
    FMTestEdgeMask = AddItem(FMResample, "FMTestEdgeMask", "Test エッジマスク");
    FMLiftingBilinear = AddItem(FMResample, "FMLiftingBilinear", "Lifting bilinear");
    FMBilinearV2 = AddItem(FMResample, "FMBilinearV2", "Bilinear V2");
    for (QAction* hidden : {FMTest1, FMTest2, FMTestEdgeMask, FMLiftingBilinear, FMBilinearV2}) hidden->setVisible(false);

    FMExtra = submenu(MainMenu1, "FMExtra", "おまけ(&E)");
    FMBuildHTMLSample = AddItem(FMExtra, "FMBuildHTMLSample", "リサンプル一覧の作成（HTMLファイル） 1列");
    FMBuildHTMLSample2 = AddItem(FMExtra, "FMBuildHTMLSample2", "リサンプル一覧の作成（HTMLファイル） 列指定");
    FMCol2 = AddItem(FMExtra, "FMCol2", "2列");
    FMCol3 = AddItem(FMExtra, "FMCol3", "3列");
    FMCol4 = AddItem(FMExtra, "FMCol4", "4列");
    FMCol5 = AddItem(FMExtra, "FMCol5", "5列");
    radioGroup({FMCol2, FMCol3, FMCol4, FMCol5}, FMCol2);
    int columns = 2;
    for (QAction* item : {FMCol2, FMCol3, FMCol4, FMCol5}) item->setData(columns++);
    FMExtra->addSeparator();
    FMCustomizeOutput = AddItem(FMExtra, "FMCustomizeOutput", "リサンプル一覧 出力オプション...");
    FMFileNameRule = AddItem(FMExtra, "FMFileNameRule", "ファイル命名規則");
    FMFileNameRule->setVisible(false);
    FMExtra->addSeparator();
    FMUpscaleOption = submenu(FMExtra, "FMUpscaleOption", "拡大時オプション(&U)");
    FMNoopUpscale = AddItem(FMUpscaleOption, "FMNoopUpscale", "何もしない");
    FMLPF_DCTCut7 = AddItem(FMUpscaleOption, "FMLPF_DCTCut7", "高周波成分を削除 DCT cut7");
    FMLPF_DCTCut6 = AddItem(FMUpscaleOption, "FMLPF_DCTCut6", "高周波成分を削除 DCT cut6");
    FMLPF_DCTCut5 = AddItem(FMUpscaleOption, "FMLPF_DCTCut5", "高周波成分を削除 DCT cut5");
    FMMedianFilter = AddItem(FMUpscaleOption, "FMMedianFilter", "メディアンフィルター");
    radioGroup({FMNoopUpscale, FMLPF_DCTCut7, FMLPF_DCTCut6, FMLPF_DCTCut5, FMMedianFilter}, FMNoopUpscale);
}

void TForm1::Guarded(const std::function<void()>& handler) { RunCommand(this, handler); }

void TForm1::BindCommand(QAction* action, void (TForm1::*handler)()) {
    connect(action, &QAction::triggered, this, [this, action, handler] {
        QAction* const outer = std::exchange(runningItem_, action);
        Guarded([this, handler] { (this->*handler)(); });
        runningItem_ = outer;
    });
}

void TForm1::ConnectHandlers() {
    BindCommand(FMOpen, &TForm1::FMOpenClick);
    BindCommand(FMReOpen, &TForm1::FMReOpenClick);
    BindCommand(FMSaveAs, &TForm1::FMSaveAsClick);
    BindCommand(FMSampleLoad, &TForm1::FMSampleLoadClick);
    BindCommand(FMEnglish, &TForm1::FMEnglishClick);
    BindCommand(FMJapanese, &TForm1::FMJapaneseClick);
    BindCommand(FMExit, &TForm1::FMExitClick);
    BindCommand(FMLanczos4, &TForm1::FMLanczos4Click);
    BindCommand(FMLanczos3, &TForm1::FMLanczos3Click);
    BindCommand(FMLanczos2, &TForm1::FMLanczos2Click);
    BindCommand(FMMitchell, &TForm1::FMMitchellClick);
    BindCommand(FMLagrange, &TForm1::FMLagrangeClick);
    BindCommand(FMHermite, &TForm1::FMHermiteClick);
    BindCommand(FMBell, &TForm1::FMBellClick);
    BindCommand(FMBSpline, &TForm1::FMBSplineClick);
    BindCommand(FMGauss, &TForm1::FMGaussClick);
    BindCommand(FMBicubic, &TForm1::FMBicubicClick);
    BindCommand(FMBilinear, &TForm1::FMBilinearClick);
    BindCommand(FMAveragePixel, &TForm1::FMAveragePixelClick);
    BindCommand(FMNearestNeighbor, &TForm1::FMNearestNeighborClick);
    BindCommand(FMTest1, &TForm1::FMTest1Click);
    BindCommand(FMTest2, &TForm1::FMTest2Click);
    BindCommand(FMTestEdgeMask, &TForm1::FMTestEdgeMaskClick);
    BindCommand(FMLiftingBilinear, &TForm1::FMLiftingBilinearClick);
    BindCommand(FMBilinearV2, &TForm1::FMBilinearV2Click);
    BindCommand(FMBuildHTMLSample, &TForm1::FMBuildHTMLSampleClick);
    BindCommand(FMBuildHTMLSample2, &TForm1::FMBuildHTMLSample2Click);
    BindCommand(FMCustomizeOutput, &TForm1::FMCustomizeOutputClick);
    BindCommand(FMFileNameRule, &TForm1::FMFileNameRuleClick);
    for (QAction* item : {FMCol2, FMCol3, FMCol4, FMCol5})
        connect(item, &QAction::triggered, this, [this, item] { Guarded([this, item] { FMColsClick(item); }); });
    connect(FMResample, &QMenu::aboutToShow, this, [this] { Guarded([this] { FMResampleClick(); }); });

    connect(EditWidth, &QLineEdit::textChanged, this, [this] { Guarded([this] { EditWidthChange(); }); });
    connect(EditHeight, &QLineEdit::textChanged, this, [this] { Guarded([this] { EditHeightChange(); }); });
    connect(EditRatio, &QLineEdit::textChanged, this, [this] { Guarded([this] { EditRatioChange(); }); });

    ScrollBox1->OnMouseWheelDown = [this](QObject* sender, Qt::KeyboardModifiers shift, QPoint pos, bool& handled) {
        Guarded([&] { ScrollBox1MouseWheelDown(sender, shift, pos, handled); });
    };
    ScrollBox1->OnMouseWheelUp = [this](QObject* sender, Qt::KeyboardModifiers shift, QPoint pos, bool& handled) {
        Guarded([&] { ScrollBox1MouseWheelUp(sender, shift, pos, handled); });
    };
    ScrollBox1->OnScrollHorz = [this](QObject* sender) { ScrollBox1ScrollHorz(sender); };
    ScrollBox1->OnScrollVert = [this](QObject* sender) { ScrollBox1ScrollVert(sender); };
    ScrollBox1->OnClick = [this](QObject* sender) { ScrollBox1Click(sender); };
    Image1->OnClick = [this](QObject* sender) { Image1Click(sender); };
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

void TForm1::FormCreate(const TForm1Options& options) {
    LanguageFolder = "Lang/";
    FMSaveAs->setEnabled(false);
    FMReOpen->setEnabled(false);
    HasAlpha = false;
    FileName.clear();
    for (const TKestruneFileTypeInfo& row : SaveFileTypeTable)
        SaveDialog1->FileTypes.push_back({std::string(row.DisplayName), std::string(row.FileMask)});
    SampleColumns = 2;
    UsePrefix = UseSuffix = false;
    Prefix.clear();
    Suffix.clear();

    // Each step is guarded on its own: a picture that does not decode must
    // not keep the settings from being read (they would be lost at exit).
    Guarded([&] {
        const TComLineEX commandLine(options.ProgramPath, options.Arguments);
        if (!commandLine.Files.empty() && FileExists(commandLine.Files.front()))
            OpenPicture(commandLine.Files.front(), false);
    });
    Guarded([this] { LoadSettings(); });

    if (LanguageNumber == 0) LanguageNumber = GetDefaultLocaleId() == 1041 ? 2 : 1;
    if (LanguageNumber == 1) FMEnglish->setChecked(true);
    if (LanguageNumber == 2) FMJapanese->setChecked(true);

    // Built once in the language now set; a later switch keeps it.
    OpenPictureDialog1->SetFilter(BuildOpenFilter());
    Guarded([this] { SwitchLanguage(); });
}

void TForm1::LoadSettings() {
    const TSettings settings = ::LoadSettings(TIniFile(settingsFile_));
    if (settings.HasPlacement()) {
        move(settings.Left, settings.Top);
        if (settings.Width > 0 && settings.Height > 0) resize(settings.Width, settings.Height);
    }
    LanguageNumber = settings.Language;
    SampleFormat = settings.SampleFormat;
    SampleJPEGQuality = settings.SampleJPEGQuality;
    SaveOptionValues = settings.SaveOptions;
}

void TForm1::SaveSettings() {
    TSettings settings;
    settings.Left = x();
    settings.Top = y();
    settings.Width = width();
    settings.Height = height();
    settings.Language = LanguageNumber;
    settings.SampleFormat = SampleFormat;
    settings.SampleJPEGQuality = SampleJPEGQuality;
    settings.SaveOptions = SaveOptionValues;
    // An installed program keeps its settings in the user's config folder,
    // which may not exist yet.
    EnsureFolder(ExtractFilePath(settingsFile_));
    ::SaveSettings(TIniFile(settingsFile_), settings);
}

void TForm1::FormShow() { setAcceptDrops(true); }

void TForm1::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    Guarded([this] { SaveSettings(); });
    WorkBitmap.Clear();
    LoadedBitmap.Clear();
    ScratchBitmap.Clear();
    AlphaBitmap.Clear();
    AlphaScratch.Clear();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormDestroy();
    event->accept();
}

// ---------------------------------------------------------------------------
// Opening

void TForm1::OpenPicture(const std::string& path, bool keepSize) {
    if (!FileExists(path)) return;
    const std::string extension = LowerCase(ExtractFileExt(path));
    FileName = path;

    TBitmap decoded;
    TBitmap loaded;
    bool hasAlpha = false;
    TBitmap alpha;
    std::string warning;
    AboutFile(path, [&] {
        TWaitCursor wait;
        TPicture picture;
        picture.LoadFromFile(path);
        decoded.Assign(*picture.Graphic());
        loaded = decoded;
        if (extension == ".png") {
            if (const auto* png = dynamic_cast<const TGLDPNG*>(picture.Graphic()); png && png->HasAlpha()) {
                hasAlpha = true;
                alpha = png->AlphaBitmap();
            }
        }
        warning = picture.Graphic()->LoadWarning();
    });
    // Everything that can fail is done; the window's state changes only now.
    WorkBitmap = std::move(decoded);
    LoadedBitmap = std::move(loaded);
    HasAlpha = hasAlpha;
    if (HasAlpha) AlphaBitmap = std::move(alpha);
    SourceWidth = WorkBitmap.Width();
    SourceHeight = WorkBitmap.Height();

    if (!keepSize) {
        EditWidth->setText(QString::number(SourceWidth));
        EditHeight->setText(QString::number(SourceHeight));
        EditRatio->setText(QStringLiteral("100"));
    }
    ShowWorkBitmap();
    for (TNumEdit* edit : {EditWidth, EditHeight, EditRatio}) edit->setEnabled(true);
    FMReOpen->setEnabled(true);
    FMSaveAs->setEnabled(true);
    ScrollBox1->setFocus();
    // The picture is shown as far as it was read; the user learns what is
    // missing from it.
    if (!warning.empty()) ShowWarningMessage(this, QString::fromStdString(LoadWarningMessage(warning, path)));
}

void TForm1::FMOpenClick() {
    // The next picture is most likely beside the current one.
    if (!FileName.empty()) {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::path(FileName).parent_path();
        if (!folder.empty() && std::filesystem::is_directory(folder, error))
            OpenPictureDialog1->setDirectory(QString::fromStdString(folder.string()));
    }
    if (OpenPictureDialog1->exec() != QDialog::Accepted) return;
    const QStringList chosen = OpenPictureDialog1->selectedFiles();
    if (!chosen.isEmpty()) OpenPicture(chosen.front().toStdString(), false);
}

void TForm1::FMReOpenClick() {
    if (!FileName.empty()) OpenPicture(FileName, true);
}

void TForm1::FMExitClick() { close(); }

void TForm1::FilesDropped(const std::vector<std::string>& paths) {
    if (!paths.empty()) OpenPicture(paths.front(), false);
}

namespace {
std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    return paths;
}
}  // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = LocalFiles(event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    Guarded([&] { FilesDropped(paths); });
}

// ---------------------------------------------------------------------------
// Saving

namespace {

void OptionsIntoDialog(const TSaveOptionValues& o, TSaveDialogPassport& dialog) {
    dialog.JPEGQuality = o.JPEGQuality;
    dialog.JPEGProgressive = o.JPEGProgressive;
    dialog.JPEGGrayscale = o.JPEGGrayscale;
    dialog.JPEGSubsampling = o.JPEGSubsampling;
    dialog.ExifCopy = o.ExifCopy;
    dialog.ExifThumbUpdate = o.ExifThumbUpdate;
    dialog.PNGInterlaced = o.PNGInterlaced;
    dialog.PNGGrayscale = o.PNGGrayscale;
    dialog.PNGReduceTo256Color = o.PNGReduceTo256Color;
    dialog.PNGTransparent = o.PNGTransparent;
    dialog.GIFTransparent = o.GIFTransparent;
    dialog.TGARLECompression = o.TGARLECompression;
}

TSaveOptionValues OptionsFromDialog(const TSaveDialogPassport& dialog) {
    TSaveOptionValues o;
    o.JPEGQuality = dialog.JPEGQuality;
    o.JPEGProgressive = dialog.JPEGProgressive;
    o.JPEGGrayscale = dialog.JPEGGrayscale;
    o.JPEGSubsampling = dialog.JPEGSubsampling;
    o.ExifCopy = dialog.ExifCopy;
    o.ExifThumbUpdate = dialog.ExifThumbUpdate;
    o.PNGInterlaced = dialog.PNGInterlaced;
    o.PNGGrayscale = dialog.PNGGrayscale;
    o.PNGReduceTo256Color = dialog.PNGReduceTo256Color;
    o.PNGTransparent = dialog.PNGTransparent;
    o.GIFTransparent = dialog.GIFTransparent;
    o.TGARLECompression = dialog.TGARLECompression;
    return o;
}

}  // namespace

void TForm1::FMSaveAsClick() { SavePictureAs(); }

void TForm1::SavePictureAs() {
    const std::string fileName = ExtractFileName(FileName);
    const std::string suggested = fileName.substr(0, fileName.size() - ExtractFileExt(fileName).size());
    const TExifProbe exif = ProbeExif(FileName);
    SaveDialog1->ExifCopyEnabled = exif.HasExif;
    SaveDialog1->ExifThumbUpdateEnabled = exif.HasThumbnail;
    SaveDialog1->FileName = suggested;
    OptionsIntoDialog(SaveOptionValues, *SaveDialog1);
    if (!SaveDialog1->Execute()) return;

    const TFileType4Save type = SaveDialog1->SelectedFileType();
    const TSaveOptionValues chosen = OptionsFromDialog(*SaveDialog1);
    const bool alphaPath = TakesAlphaPath(HasAlpha, type, chosen);
    if (alphaPath) PrepareAlphaPlane(AlphaBitmap, AlphaScratch, WorkBitmap.Width(), WorkBitmap.Height(), LastAlgorithm);
    SaveOptionValues = chosen;

    const std::string target = SaveDialog1->FileName;
    if (FileExists(target) && !ConfirmReplace(target, this)) return;

    bool saved = false;
    {
        TWaitCursor wait;
        TSaveRequest request;
        request.FileType = type;
        request.TargetPath = target;
        request.SourcePath = FileName;
        request.Options = SaveOptionValues;
        request.DCRResourceName = SaveDialog1->DCRResourceName;
        request.HasExif = exif.HasExif;
        request.HasThumbnail = exif.HasThumbnail;
        request.AlphaPlane = alphaPath ? &AlphaScratch : nullptr;
        AboutFile(target, [&] { saved = SaveByFileType(WorkBitmap, request); });
    }
    if (!saved) ShowConvertError(this);
}

// ---------------------------------------------------------------------------
// Size coupling

void TForm1::EditWidthChange() { EditSizeChange(TSizeEdit::Width); }
void TForm1::EditHeightChange() { EditSizeChange(TSizeEdit::Height); }
void TForm1::EditRatioChange() { EditSizeChange(TSizeEdit::Ratio); }

void TForm1::EditSizeChange(TSizeEdit own) {
    TNumEdit* const edits[] = {EditWidth, EditHeight, EditRatio};
    TNumEdit* const ownEdit = edits[static_cast<int>(own)];
    if (ownEdit->text().isEmpty()) return;
    const int32_t value = StrToInt(Text(ownEdit));
    if (value == 0) return;
    const int32_t reference = own == TSizeEdit::Width ? SourceWidth : own == TSizeEdit::Height ? SourceHeight : 100;
    if (reference == 0) throw EZeroDivide(PlatformMessages::ZeroDivide);
    std::optional<TCoupledSize> size;
    switch (own) {
        case TSizeEdit::Width: size = CoupleFromWidth(value, SourceWidth, SourceHeight); break;
        case TSizeEdit::Height: size = CoupleFromHeight(value, SourceWidth, SourceHeight); break;
        case TSizeEdit::Ratio: size = CoupleFromScale(value, SourceWidth, SourceHeight); break;
    }
    if (!size) return;
    // The other two edits change without running their own coupling.
    const QSignalBlocker blockWidth(own == TSizeEdit::Width ? nullptr : EditWidth);
    const QSignalBlocker blockHeight(own == TSizeEdit::Height ? nullptr : EditHeight);
    const QSignalBlocker blockRatio(own == TSizeEdit::Ratio ? nullptr : EditRatio);
    if (own != TSizeEdit::Width) EditWidth->setText(QString::number(size->Width));
    if (own != TSizeEdit::Height) EditHeight->setText(QString::number(size->Height));
    if (own != TSizeEdit::Ratio) EditRatio->setText(QString::number(size->Scale));
}

// ---------------------------------------------------------------------------
// Resample commands

void TForm1::ReadTargetSize() {
    const int32_t width = StrToInt(Text(EditWidth));
    const int32_t height = StrToInt(Text(EditHeight));
    // The resamplers need at least one pixel each way. 0 can be typed, and
    // the coupling rounds a small share of a long side down to 0 (width 1
    // on a 640 x 100 picture gives height 0).
    if (width < 1) throw Exception(MainWindowTexts.WidthTooSmall);
    if (height < 1) throw Exception(MainWindowTexts.HeightTooSmall);
    TargetWidth = width;
    TargetHeight = height;
}

int32_t TForm1::ReadScale() const { return StrToInt(Text(EditRatio)); }

void TForm1::ApplyCheckedPrefilter(TBitmap& picture) const {
    if (FMLPF_DCTCut7->isChecked())
        DCTHighCut(picture, 7);
    else if (FMLPF_DCTCut6->isChecked())
        DCTHighCut(picture, 6);
    else if (FMLPF_DCTCut5->isChecked())
        DCTHighCut(picture, 5);
    else if (FMMedianFilter->isChecked())
        EdgePreservingMedian(picture);
}

void TForm1::RunResample(const std::function<void(TBitmap&)>& algorithm, std::optional<uint8_t> index) {
    if (WorkBitmap.Empty()) return;
    ReadTargetSize();
    const int32_t scale = ReadScale();
    TBusyStatus busy(*this, *statusPanels_.front(), RunningText());
    ResetThroughput();
    if (scale <= 100 || FMNoopUpscale->isChecked()) {
        algorithm(WorkBitmap);
    } else {
        ScratchBitmap = WorkBitmap;
        ApplyCheckedPrefilter(ScratchBitmap);
        algorithm(ScratchBitmap);
        WorkBitmap = ScratchBitmap;
    }
    ShowWorkBitmap();
    if (index) LastAlgorithm = *index;
    busy.Done();
    SetStatusText(0, ThroughputText());
}

void TForm1::ResampleWithKernel(KernelSetup setup, uint8_t algorithm) {
    RunResample([this, setup](TBitmap& picture) { KernelResample(picture, TargetWidth, TargetHeight, setup); },
                algorithm);
}

void TForm1::ResampleWithRoutine(ResampleRoutine routine, std::optional<uint8_t> algorithm) {
    RunResample([this, routine](TBitmap& picture) { routine(picture, TargetWidth, TargetHeight); }, algorithm);
}

void TForm1::FMLanczos4Click() { ResampleWithRoutine(Lanczos4Resample, 0); }
void TForm1::FMLanczos3Click() { ResampleWithKernel(Lanczos3Setup, 1); }
void TForm1::FMLanczos2Click() { ResampleWithKernel(Lanczos2Setup, 2); }
void TForm1::FMMitchellClick() { ResampleWithKernel(MitchellSetup, 3); }
void TForm1::FMLagrangeClick() { ResampleWithKernel(LagrangeSetup, 4); }
void TForm1::FMHermiteClick() { ResampleWithKernel(HermiteSetup, 5); }
void TForm1::FMBellClick() { ResampleWithKernel(BellSetup, 6); }
void TForm1::FMBSplineClick() { ResampleWithKernel(BSplineSetup, 7); }
void TForm1::FMGaussClick() { ResampleWithKernel(GaussSetup, 8); }
void TForm1::FMBicubicClick() { ResampleWithKernel(BicubicSetup, 9); }
void TForm1::FMBilinearClick() { ResampleWithKernel(BilinearSetup, 10); }
void TForm1::FMAveragePixelClick() { ResampleWithRoutine(AveragePixelResample, 11); }
void TForm1::FMNearestNeighborClick() { ResampleWithRoutine(NearestNeighborResample, 12); }
void TForm1::FMBilinearV2Click() { ResampleWithRoutine(BilinearV2Resample, std::nullopt); }

void TForm1::FMResampleClick() {
    if (!EditRatio->text().isEmpty()) FMAveragePixel->setEnabled(ReadScale() <= 100);
}

// ---------------------------------------------------------------------------
// Hidden commands

void TForm1::ResampleTestVariant(ResampleRoutine routine) {
    ReadTargetSize();
    TBusyStatus busy(*this, *statusPanels_.front(), RunningText());
    ResetThroughput();
    routine(WorkBitmap, TargetWidth, TargetHeight);
    ShowWorkBitmap();
    busy.Done();
    SetStatusText(0, ThroughputText());
}

void TForm1::FMTest1Click() { ResampleTestVariant(Test1Resample); }
void TForm1::FMTest2Click() { ResampleTestVariant(Test2Resample); }

void TForm1::FMTestEdgeMaskClick() {
    TBusyStatus busy(*this, *statusPanels_.front(), RunningText());
    TBitmap picture = LoadedBitmap;
    EdgePreservingMedian(picture);
    WorkBitmap = std::move(picture);
    ShowWorkBitmap();
}

void TForm1::FMLiftingBilinearClick() {
    if (WorkBitmap.Empty()) return;
    ReadTargetSize();
    const int32_t scale = ReadScale();
    TBusyStatus busy(*this, *statusPanels_.front(), RunningText());
    ResetThroughput();
    LiftingBilinearProcedure(WorkBitmap, TargetWidth, TargetHeight, scale, FMNoopUpscale->isChecked());
    ShowWorkBitmap();
    busy.Done();
    SetStatusText(0, ThroughputText());
}

void TForm1::FMSampleLoadClick() {
    WorkBitmap = MakeZonePlate();
    ShowWorkBitmap();
}

// ---------------------------------------------------------------------------
// Sample page

void TForm1::FMBuildHTMLSampleClick() { BuildSamplePage(1); }
void TForm1::FMBuildHTMLSample2Click() { BuildSamplePage(SampleColumns); }

void TForm1::BuildSamplePage(int32_t columns) {
    if (WorkBitmap.Empty()) return;
    ReadTargetSize();
    TSamplePageInput input;
    input.Base = &LoadedBitmap;
    input.Alpha = HasAlpha ? &AlphaBitmap : nullptr;
    input.TargetWidth = TargetWidth;
    input.TargetHeight = TargetHeight;
    input.Scale = ReadScale();
    if (FMLPF_DCTCut7->isChecked())
        input.Prefilter = TUpscalePrefilter::DCTCut7;
    else if (FMLPF_DCTCut6->isChecked())
        input.Prefilter = TUpscalePrefilter::DCTCut6;
    else if (FMLPF_DCTCut5->isChecked())
        input.Prefilter = TUpscalePrefilter::DCTCut5;
    else if (FMMedianFilter->isChecked())
        input.Prefilter = TUpscalePrefilter::Median;
    input.Columns = columns;
    input.Format = SampleFormat;
    input.Quality = SampleJPEGQuality;
    input.UsePrefix = UsePrefix;
    input.Prefix = Prefix;
    input.UseSuffix = UseSuffix;
    input.Suffix = Suffix;
    input.Language = LanguageNumber;
    input.Texts = PageTexts;
    input.OutputFolder = SampleOutputFolder();

    // The build runs to the end on this thread; repainting the status bar
    // after each image shows that it is progressing.
    TWaitCursor wait;
    TSamplePageProgress progress;
    progress.AlgorithmDone = [this](const std::string& label, const std::string&, const std::string& time) {
        SetStatusText(0, time);
        SetStatusText(1, label + " " + time);
        StatusBar1->repaint();
    };
    progress.PrefilterDone = [this](const std::string& name, const std::string& time) {
        SetStatusText(1, name + " " + time);
        StatusBar1->repaint();
    };
    int32_t failures = 0;
    progress.ImageFailed = [&failures](const std::string&, const std::string&) { ++failures; };
    const TSamplePageResult page =
        ::BuildSamplePage(input, {ScratchBitmap, WorkBitmap, AlphaScratch}, progress);
    SetStatusText(1, failures ? Format("%d images not written: ", failures) + page.PagePath : page.PagePath);
    statusPanels_.at(1)->setToolTip(QString::fromStdString(page.PagePath));
    if (qEnvironmentVariableIsEmpty("VORLIX_NO_BROWSER"))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(page.PagePath)));
    // The image control keeps showing what it showed before the build.
    WorkBitmap = LoadedBitmap;
}

void TForm1::FMColsClick(QAction* item) {
    item->setChecked(true);
    SampleColumns = item->data().toInt();
}

void TForm1::FMCustomizeOutputClick() {
    const std::unique_ptr<TFormSampleOutputFormat> dialog = CreateFormSampleOutputFormat(this);
    dialog->EditJPEGQuality->setText(QString::number(SampleJPEGQuality));
    QRadioButton* const buttons[] = {dialog->RBJPEG420, dialog->RBJPEG444, dialog->RBPNG};
    buttons[std::min<uint8_t>(SampleFormat, 2)]->setChecked(true);
    if (dialog->exec() != QDialog::Accepted) return;
    const int32_t quality = StrToInt(dialog->EditJPEGQuality->text().toStdString());
    SampleJPEGQuality = std::clamp(quality, 0, 100);
    for (uint8_t format = 0; format < 3; ++format)
        if (buttons[format]->isChecked()) SampleFormat = format;
}

void TForm1::FMFileNameRuleClick() {
    TFormPrefix dialog(this);
    dialog.CBPrefix->setChecked(UsePrefix);
    dialog.CBSuffix->setChecked(UseSuffix);
    dialog.EditPrefix->setText(QString::fromStdString(Prefix));
    dialog.EditSuffix->setText(QString::fromStdString(Suffix));
    if (dialog.exec() != QDialog::Accepted) return;
    UsePrefix = dialog.CBPrefix->isChecked();
    UseSuffix = dialog.CBSuffix->isChecked();
    Prefix = dialog.EditPrefix->text().toStdString();
    Suffix = dialog.EditSuffix->text().toStdString();
}

// ---------------------------------------------------------------------------
// Language

void TForm1::FMEnglishClick() {
    FMEnglish->setChecked(true);
    LanguageNumber = 1;
    SwitchLanguage();
}

void TForm1::FMJapaneseClick() {
    FMJapanese->setChecked(true);
    LanguageNumber = 2;
    SwitchLanguage();
}

void TForm1::SwitchLanguage() {
    LoadPageTexts();
    LoadMainWindowTexts();
    ApplyQtTranslations(LanguageNumber);
    ApplyLanguageToWindow(*this, *this);
    ApplyLanguageLayout();
}

void TForm1::ApplyLanguageLayout() {
    LoadSaveDialogCaptions(*SaveDialog1);
    for (const TControlPlacement& place : LabelLayout(LanguageNumber)) {
        QWidget* control = ComponentWidget(place.Control);
        if (!control) continue;
        control->setGeometry(place.Left, control->y(), place.Width > 0 ? place.Width : control->width(),
                             control->height());
    }
}

QWidget* TForm1::ComponentWidget(const char* name) const {
    const QString wanted = QString::fromLatin1(name);
    for (QObject* component : Components())
        if (component->objectName() == wanted) return qobject_cast<QWidget*>(component);
    return nullptr;
}

// ---------------------------------------------------------------------------
// Scrolling

void TForm1::ScrollBox1MouseWheelDown(QObject*, Qt::KeyboardModifiers, QPoint, bool& handled) {
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() + kWheelStep);
    handled = true;
}

void TForm1::ScrollBox1MouseWheelUp(QObject*, Qt::KeyboardModifiers, QPoint, bool& handled) {
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() - kWheelStep);
    handled = true;
}

void TForm1::Image1Click(QObject*) { ScrollBox1->setFocus(); }
void TForm1::ScrollBox1Click(QObject*) { ScrollBox1->setFocus(); }
void TForm1::ScrollBox1ScrollHorz(QObject*) {}
void TForm1::ScrollBox1ScrollVert(QObject*) {}

// ---------------------------------------------------------------------------

void TForm1::ShowWorkBitmap() { Image1->Assign(WorkBitmap); }

void TForm1::SetStatusText(int panel, const std::string& text) {
    statusPanels_.at(static_cast<size_t>(panel))->setText(QString::fromStdString(text));
}

QString TForm1::RunningText() const {
    if (!runningItem_) return {};
    return QString::fromStdString(
        FillMessage(MainWindowTexts.Running, PlainMenuCaption(runningItem_->text().toStdString())));
}

QString TForm1::StatusText(int panel) const { return statusPanels_.at(static_cast<size_t>(panel))->text(); }
