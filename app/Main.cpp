#include "app/Main.h"

#include "answers/PaperRollModel.h"
#include "answers/ReturnBufferView.h"
#include "app/BridgeDialog.h"
#include "app/LocaleLibrary.h"
#include "app/LocalisedCaptions.h"
#include "app/PageRegistry.h"
#include "app/PaperDock.h"
#include "app/PrinterPanel.h"
#include "app/SystemConfig.h"
#include "core/Page.h"
#include "core/ReturnBufferModel.h"
#include "core/SafeFormat.h"
#include "core/TypingLimit.h"
#include "programming/PrinterSpeedPage.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <algorithm>

namespace {
constexpr int kWindowWidth = 804;
constexpr int kWindowHeight = 486;
constexpr int kPanelHeight = 33;
constexpr int kNotebookHeight = 288;
constexpr int kStatusHeight = 19;

// The console's own strings in the language library (lang/strings.txt), with
// their English texts for a console without it.
constexpr int kVirtualPrinterText = 19100; // "Virtual printer"
constexpr int kBridgeText = 19101;         // "Bridge: %s"
constexpr int kLibrariesText = 19102;      // "Device libraries: %s"
constexpr int kBridgeActionText = 19103;   // "Real printer (bridge)..."
constexpr int kCopyText = 19110;           // "Copy"
constexpr int kCopyAllText = 19111;        // "Copy all"
constexpr int kSaveBufferText = 19112;     // "Save as text..."
// The printer's name is cut in its middle beyond this width.
constexpr int kPrinterTextWidth = 380;

QPixmap makeLogo() {
    QPixmap logo(70, 25);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 70, 140));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 3, 68, 19), 6, 6);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(1, 3, 68, 19), Qt::AlignCenter, QStringLiteral("ECR"));
    return logo;
}
} // namespace

TMainForm::TMainForm(dev::DeviceSet devices, IMessageService& messages, Options options, QWidget* parent)
    : QMainWindow(parent),
      recordedUser_(std::make_unique<dev::RecordingLibrary>(*devices.user, dev::Library::User, recorder_)),
      recordedService_(
          std::make_unique<dev::RecordingLibrary>(*devices.service, dev::Library::Service, recorder_)),
      devices_{recordedUser_.get(), recordedService_.get()}, ctx_(devices_, messages),
      options_(std::move(options)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Demo"));
    buildLayout();
    ctx_.window = this;
    ctx_.returnBuffer = returnBuffer_;
    ctx_.returnBufferView = ListBox1;
    ctx_.portNameFn = [this] { return portName(); };
    ctx_.localeText = [this](int id) { return ::LocaleString(ctx_.locale, id); };
    // A note the console makes (e.g. whether a document was recorded after a
    // lost answer) stays until the next message.
    ctx_.showStatusNote = [this](const QString& text) { StatusBar1->showMessage(text); };
    for (Page* p : pages_)
        p->attach();
    // While a library call runs, our own libraries call back so the window keeps answering.
    devices_.user->setIdleHandler(&TMainForm::idle, this);
    devices_.service->setIdleHandler(&TMainForm::idle, this);
    addReturnBufferActions();
    addPrinterDocks();
    addRecording();
    addPrinterLabel();
    FormCreate();
}

TMainForm::~TMainForm() {
    devices_.user->setIdleHandler(nullptr, nullptr);
    devices_.service->setIdleHandler(nullptr, nullptr);
    devices_.user->setPrintHandler(nullptr, nullptr);
    devices_.service->setPrintHandler(nullptr, nullptr);
    // A window destroyed without being closed still hands back its links.
    if (!closeAccepted_)
        FormClose();
    FormDestroy();
}

void TAVO_CALL TMainForm::idle(void* self) {
    Q_UNUSED(self);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void TAVO_CALL TMainForm::printed(void* self, const char* utf8Line, int32_t documentNumber) {
    try { // called by the library: nothing may get back into it
        if (auto* form = static_cast<TMainForm*>(self); form && form->paperDock_)
            form->paperDock_->model()->appendLine(utf8Line, documentNumber);
    } catch (...) {
    }
}

// The "Paper" and "Printer" docks, hidden until their key: only our own
// libraries show the paper as it is printed and switch the printer live.
void TMainForm::addPrinterDocks() {
    auto addDock = [this](QDockWidget* dock, Qt::DockWidgetArea area, const char* action, const char* keys,
                          const char* button) {
        addDockWidget(area, dock);
        dock->hide();
        QAction* toggle = dock->toggleViewAction();
        toggle->setObjectName(QString::fromLatin1(action));
        toggle->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        addAction(toggle);
        // A small button in the status bar for each view, its key in the tooltip.
        auto* b = new QToolButton(StatusBar1);
        b->setObjectName(QString::fromLatin1(button));
        b->setDefaultAction(toggle);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMaximumHeight(StatusBar1->fontMetrics().height()); // the bar keeps its height
        auto tip = [b, toggle] {
            b->setToolTip(QStringLiteral("%1 (%2)").arg(
                toggle->text(), toggle->shortcut().toString(QKeySequence::NativeText)));
        };
        tip();
        connect(toggle, &QAction::changed, b, tip);
        StatusBar1->addPermanentWidget(b);
        (button[3] == 'P' && button[4] == 'a' ? btnPaperView : btnPrinterView) = b;
        // shown beside the window's pages, the window grows so that they keep their width
        connect(toggle, &QAction::toggled, this, [this, dock](bool on) {
            if (on && !isMaximized() && !dock->isFloating())
                QTimer::singleShot(0, this, [this] {
                    const QSize lack(kWindowWidth - centralWidget()->width(),
                                     kWindowHeight - kStatusHeight - centralWidget()->height());
                    resize(size() + lack.expandedTo(QSize(0, 0)));
                    if (QScreen* s = screen()) { // and stays on its screen
                        const QRect room = s->availableGeometry();
                        const QRect frame = frameGeometry();
                        move(std::max(room.left(), std::min(frame.left(), room.right() + 1 - frame.width())),
                             std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - frame.height())));
                    }
                });
        });
    };
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea); // the paper runs the window's height
    if (devices_.user->offersPrintHandler()) {
        paperDock_ = new PaperDock([this](const QString& text) { ctx_.errorBox(text); }, this);
        addDock(paperDock_, Qt::RightDockWidgetArea, "actPaper", "Ctrl+Shift+P", "btnPaperView");
        devices_.user->setPrintHandler(&TMainForm::printed, this);
        devices_.service->setPrintHandler(&TMainForm::printed, this);
    }
    if (devices_.user->offersLiveFaults()) {
        printerPanel_ = new PrinterPanel(ctx_, this);
        addDock(printerPanel_, Qt::BottomDockWidgetArea, "actPrinter", "Ctrl+Shift+V", "btnPrinterView");
    }
}

void TMainForm::addReturnBufferActions() {
    auto action = [this](const char* name, const QString& text) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    actCopyLines = action("actCopyLines", QStringLiteral("Copy"));
    actCopyLines->setShortcut(QKeySequence::Copy);
    actCopyLines->setShortcutContext(Qt::WidgetShortcut); // shown in the menu; the list takes Ctrl+C itself
    connect(actCopyLines, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(ListBox1->selectedText()); });
    actCopyAll = action("actCopyAll", QStringLiteral("Copy all"));
    connect(actCopyAll, &QAction::triggered, this, [this] {
        QList<int> rows;
        for (int row = 0; row < returnBuffer_->rowCount(); ++row)
            rows << row;
        QApplication::clipboard()->setText(returnBuffer_->linesText(rows));
    });
    actSaveBuffer = action("actSaveBuffer", QStringLiteral("Save as text..."));
    connect(actSaveBuffer, &QAction::triggered, this, &TMainForm::saveReturnBuffer);
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = returnBufferMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(ListBox1->viewport()->mapToGlobal(at));
    });
}

QMenu* TMainForm::returnBufferMenu(QWidget* parent) {
    auto local = [this](int id, const char* english) {
        const QString text = ctx_.LocaleString(id);
        return text.isEmpty() ? QString::fromUtf8(english) : text;
    };
    actCopyLines->setText(local(kCopyText, "Copy"));
    actCopyAll->setText(local(kCopyAllText, "Copy all"));
    actSaveBuffer->setText(local(kSaveBufferText, "Save as text..."));
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("mnuReturnBuffer"));
    const bool any = returnBuffer_->rowCount() > 0;
    actCopyLines->setEnabled(any);
    actCopyAll->setEnabled(any);
    actSaveBuffer->setEnabled(any);
    menu->addAction(actCopyLines);
    menu->addAction(actCopyAll);
    menu->addAction(actSaveBuffer);
    if (paperDock_ || printerPanel_)
        menu->addSeparator();
    if (paperDock_)
        menu->addAction(paperDock_->toggleViewAction());
    if (printerPanel_)
        menu->addAction(printerPanel_->toggleViewAction());
    return menu;
}

// The whole Return Buffer as the lines it shows, written safely: the old file
// or the new one, never half.
void TMainForm::saveReturnBuffer() {
    const QString path = QFileDialog::getSaveFileName(
        this, actSaveBuffer->text().remove(QStringLiteral("...")),
        QDir::current().filePath(
            QStringLiteral("return-buffer-%1.txt")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))),
        QStringLiteral("Text (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !returnBuffer_->writeText(file) || !file.commit())
        ctx_.errorBox(
            QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
}

void TMainForm::addRecording() {
    lbRec = new QLabel(QStringLiteral("REC"), StatusBar1);
    lbRec->setObjectName(QStringLiteral("lbRec"));
    lbRec->setStyleSheet(QStringLiteral("QLabel { color: white; background: #c00000; font-weight: bold; "
                                        "padding: 0 6px; }"));
    lbRec->hide();
    StatusBar1->addPermanentWidget(lbRec);
    actRecord = new QAction(QStringLiteral("Record session"), this);
    actRecord->setObjectName(QStringLiteral("actRecord"));
    actRecord->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+R")));
    actRecord->setCheckable(true);
    addAction(actRecord);
    connect(actRecord, &QAction::triggered, this, [this](bool on) {
        if (!on) {
            stopRecording();
            return;
        }
        const QString path = askRecordingPath ? askRecordingPath() : QString();
        if (path.isEmpty() || !startRecording(path))
            showRecording();
    });
    askRecordingPath = [this] {
        const QString suggested = QDir(QDir::currentPath())
                                      .filePath(QDateTime::currentDateTime().toString(
                                          QStringLiteral("'session-'yyyyMMdd-HHmmss'.jsonl'")));
        return QFileDialog::getSaveFileName(this, QStringLiteral("Record session"), suggested,
                                            QStringLiteral("Sessions (*.jsonl);;All files (*)"));
    };
    recorder_.onFailure = [this](const QString& why) {
        showRecording();
        ctx_.errorBox(why);
    };
}

bool TMainForm::startRecording(const QString& path) {
    QString why;
    if (!recorder_.start(path, &why)) {
        ctx_.errorBox(why);
        showRecording();
        return false;
    }
    showRecording();
    return true;
}

void TMainForm::stopRecording() {
    recorder_.stop();
    showRecording();
}

void TMainForm::showRecording() {
    const bool on = recorder_.recording();
    lbRec->setVisible(on);
    lbRec->setToolTip(on ? QStringLiteral("Recording every call to %1 (Ctrl+Shift+R stops)")
                               .arg(QDir::toNativeSeparators(recorder_.path()))
                         : QString());
    actRecord->setChecked(on);
}

void TMainForm::addPrinterLabel() {
    lbPrinter = new QLabel(StatusBar1);
    lbPrinter->setObjectName(QStringLiteral("lbPrinter"));
    lbPrinter->setContentsMargins(4, 0, 4, 0);
    lbPrinter->hide();
    StatusBar1->addPermanentWidget(lbPrinter);
    actBridge = new QAction(QStringLiteral("Real printer (bridge)..."), this);
    actBridge->setObjectName(QStringLiteral("actBridge"));
    actBridge->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+B")));
    addAction(actBridge);
    connect(actBridge, &QAction::triggered, this, [this] { openBridgeDialog(); });
    btnBridge = new QToolButton(StatusBar1);
    btnBridge->setObjectName(QStringLiteral("btnBridge"));
    btnBridge->setDefaultAction(actBridge);
    btnBridge->setAutoRaise(true);
    btnBridge->setFocusPolicy(Qt::NoFocus);
    btnBridge->setCursor(Qt::PointingHandCursor);
    // A link in the bar: it opens a window, it changes nothing by itself.
    btnBridge->setStyleSheet(
        QStringLiteral("QToolButton#btnBridge { border: none; padding: 0 4px; color: palette(link); }"));
    QFont link = btnBridge->font();
    link.setUnderline(true);
    btnBridge->setFont(link);
    // No taller than a line of the bar's text: the bar keeps its height, shown or not.
    btnBridge->setMaximumHeight(StatusBar1->fontMetrics().height());
    btnBridge->hide();
    StatusBar1->addPermanentWidget(btnBridge);
}

QString TMainForm::printerText() const {
    auto local = [this](int id, const char* english) {
        const QString text = ctx_.LocaleString(id);
        return text.isEmpty() ? QString::fromUtf8(english) : text;
    };
    // Asked of the library itself: describing the bridge is no call to the printer to record.
    dev::IDeviceLibrary& user = recordedUser_->inner();
    if (user.offersLiveFaults())
        return local(kVirtualPrinterText, "Virtual printer");
    if (QByteArray bridge; user.describeBridge(&bridge) == TAVO_EXT_OK)
        return SafeFormat(local(kBridgeText, "Bridge: %s"), {QString::fromUtf8(bridge)});
    if (!options_.libraryDir.isEmpty())
        return SafeFormat(local(kLibrariesText, "Device libraries: %s"),
                          {QDir::toNativeSeparators(options_.libraryDir)});
    return {};
}

void TMainForm::showPrinter() {
    const QString text = printerText();
    lbPrinter->setText(lbPrinter->fontMetrics().elidedText(text, Qt::ElideMiddle, kPrinterTextWidth));
    lbPrinter->setToolTip(QDir::toNativeSeparators(options_.libraryDir));
    // Scripted devices in a folder not known show nothing: the pages' pictures stay as they are.
    lbPrinter->setVisible(!text.isEmpty());
    btnBridge->setVisible(!text.isEmpty());
    const QString action = ctx_.LocaleString(kBridgeActionText);
    actBridge->setText(action.isEmpty() ? QStringLiteral("Real printer (bridge)...") : action);
    actBridge->setIconText(actBridge->text()); // the button keeps the dots: it opens a window
    actBridge->setToolTip(
        QStringLiteral("%1 (%2)").arg(actBridge->text().remove(QStringLiteral("...")),
                                      actBridge->shortcut().toString(QKeySequence::NativeText)));
}

BridgeDialog* TMainForm::openBridgeDialog() {
    if (auto* open = findChild<BridgeDialog*>()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    if (devices_.user->isCommandExecuting() == 0) { // the key came during a command
        StatusBar1->showMessage(QStringLiteral("A command is executing; try again when it ends."), 5000);
        return nullptr;
    }
    BridgeDialog::Options o;
    o.executableDir =
        options_.executableDir.isEmpty() ? QCoreApplication::applicationDirPath() : options_.executableDir;
    o.configDir = options_.programDir;
    o.port = PortCB->currentIndex();
    QByteArray described;
    o.runningOnBridge = recordedUser_->inner().describeBridge(&described) != dev::IDeviceLibrary::kNotOffered;
    o.libraryDirFromCommandLine = options_.libraryDirFromCommandLine;
    // The test opens the port through the bridge: the console's own links are closed
    // first (they open again at the next command), and its idle handler comes back after.
    o.beforeTest = [this] { FormClose(); };
    o.afterTest = [this] {
        devices_.user->setIdleHandler(&TMainForm::idle, this);
        devices_.service->setIdleHandler(&TMainForm::idle, this);
    };
    o.saved = [this] { showPrinter(); };
    auto* dialog = new BridgeDialog(std::move(o), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    return dialog;
}

void TMainForm::centreOnScreen() {
    if (QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        // move() places the frame, whose size the platform knows once the window exists.
        const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        const QSize outer = size().grownBy(frame);
        move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
    }
}

void TMainForm::buildLayout() {
    resize(kWindowWidth, kWindowHeight);
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);

    Panel2 = new QFrame(central);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 0, kWindowWidth, kPanelHeight);
    Panel2->setFrameShape(QFrame::StyledPanel);

    Label1 = new QLabel(QStringLiteral("Port:"), Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 8, 40, 17);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PortCB = new QComboBox(Panel2);
    PortCB->setObjectName(QStringLiteral("PortCB"));
    PortCB->setGeometry(52, 5, 81, 22);
    for (int i = 1; i <= 12; ++i)
        PortCB->addItem(QStringLiteral("COM%1").arg(i));
    PortCB->setEditable(false);

    auto button = [this](const char* name, const char* caption, int x, int w) {
        auto* b = new QPushButton(QString::fromLatin1(caption), Panel2);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, 4, w, 25);
        return b;
    };
    btnOnline = button("btnOnline", "Online", 144, 75);
    btnOnline->setVisible(false);
    btnOffline = button("btnOffline", "Offline", 224, 75);
    btnOffline->setVisible(false);
    Button3 = button("Button3", "Clear Buffer", 144, 100);
    UpdateProgramBtn = button("UpdateProgramBtn", "Update Program", 250, 115);
    UpdateProgramBtn->setVisible(false);
    btnUpdateFullProgram = button("btnUpdateFullProgram", "Update Full Program", 370, 130);
    btnUpdateFullProgram->setVisible(false);

    Label118 = new QLabel(QStringLiteral("KUMA"), Panel2);
    Label118->setObjectName(QStringLiteral("Label118"));
    QFont brand(QStringLiteral("Verdana"));
    brand.setPixelSize(19);
    brand.setBold(true);
    Label118->setFont(brand);
    Label118->adjustSize();
    Label118->move(600, 5);
    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(makeLogo());
    Image1->setGeometry(700, 4, 70, 25);
    Image1->setAttribute(Qt::WA_TranslucentBackground);

    Panel3 = new QFrame(central);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    const int clientHeight = kWindowHeight - kPanelHeight - kStatusHeight;
    Panel3->setGeometry(0, kPanelHeight, kWindowWidth, clientHeight);

    Notebook1 = new QStackedWidget(Panel3);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    Notebook1->setGeometry(0, 0, kWindowWidth, kNotebookHeight);

    GroupBox3 = new QGroupBox(QStringLiteral("Return Buffer"), Panel3);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(0, kNotebookHeight, kWindowWidth, clientHeight - kNotebookHeight);

    returnBuffer_ = new ReturnBufferModel(this);
    ListBox1 = new ReturnBufferView(GroupBox3);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(6, 18, kWindowWidth - 12, clientHeight - kNotebookHeight - 24);
    ListBox1->setModel(returnBuffer_);
    ListBox1->setRowHeight(16);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Shift or Ctrl with a click, a drag, or Shift with the keys, select several lines to copy.
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont mono(QStringLiteral("Courier New"));
    mono.setPixelSize(13);
    mono.setStyleHint(QFont::TypeWriter);
    ListBox1->setFont(mono);
    QPalette colours = ListBox1->palette();
    colours.setColor(QPalette::Base, QColor(0, 128, 0));   // green
    colours.setColor(QPalette::Text, QColor(255, 255, 0)); // yellow
    ListBox1->setPalette(colours);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);

    pages_ = createPages(ctx_);
    for (Page* p : pages_) {
        p->setParent(Notebook1);
        Notebook1->addWidget(p);
    }
    ctx_.nav.setStack(Notebook1);
    // The window's own firmware buttons run the printer-speed page's updates.
    if (auto* speed = qobject_cast<PrinterSpeedPage*>(page(PageId::PrinterSpeed))) {
        connect(UpdateProgramBtn, &QPushButton::clicked, this,
                [this, speed] { ctx_.guard([speed] { speed->UpdateProgramBtnClick(); }); });
        connect(btnUpdateFullProgram, &QPushButton::clicked, this,
                [this, speed] { ctx_.guard([speed] { speed->btnUpdateFullProgramClick(); }); });
    }

    connect(PortCB, &QComboBox::currentIndexChanged, this,
            [this] { ctx_.guard([this] { PortCBChange(); }); });
    connect(btnOnline, &QPushButton::clicked, this, [this] { ctx_.guard([this] { btnOnlineClick(); }); });
    connect(btnOffline, &QPushButton::clicked, this, [this] { ctx_.guard([this] { btnOfflineClick(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    qApp->installEventFilter(this);
}

void TMainForm::FormCreate() {
    setFont(QFont(QStringLiteral("Arial CE"), 9));

    locale_ = std::make_unique<TLocaleLibrary>();
    const QString dir = options_.languageDir.isEmpty() ? options_.programDir : options_.languageDir;
    if (locale_->Load(options_.languageLibrary, dir)) {
        ctx_.locale = locale_.get();
        ApplyLocalisedCaptions(this, *locale_, ctx_.texts);
    } else {
        ctx_.messages.show(QStringLiteral("Can not load Glosk.dll"), QStringLiteral("Error"),
                           IMessageService::Icon::Error);
        ctx_.locale = nullptr;
        locale_.reset();
    }

    const int port = SystemConfig::readPort(options_.programDir);
    {
        const QSignalBlocker block(PortCB);
        PortCB->setCurrentIndex(port >= 0 && port <= 11 ? port : -1);
    }
    showPage(PageId::Menu);
    showPrinter();
    installAutoAdvance();
    ctx_.VatRates.fill(0);
}

void TMainForm::FormShow() {
    for (Page* p : pages_)
        p->formShow();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        centreOnScreen();
        // The frame's size is known only once the window is on the screen: centre again then.
        QTimer::singleShot(0, this, [this] { centreOnScreen(); });
        FormShow();
        FormResize();
    }
}

Page* TMainForm::page(PageId id) const {
    return qobject_cast<Page*>(ctx_.nav.page(id));
}

void TMainForm::showPage(PageId id) {
    ctx_.nav.show(id);
}

PageId TMainForm::currentPage() const {
    return ctx_.nav.current();
}

QByteArray TMainForm::portName() const {
    return "COM" + QByteArray::number(PortCB->currentIndex() + 1);
}

void TMainForm::PortCBChange() {
    ctx_.frame.CloseLink(dev::Library::User);
    ctx_.frame.CloseLink(dev::Library::Service);
    if (printerPanel_)
        printerPanel_->portChanged();
}

void TMainForm::btnOnlineClick() {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
}
void TMainForm::btnOfflineClick() {
    ctx_.frame.CloseLink(dev::Library::User);
}
void TMainForm::Button3Click() {
    returnBuffer_->clear();
}
void TMainForm::Timer1Timer() {
    close();
}

bool TMainForm::FormCloseQuery() {
    if (devices_.user->isCommandExecuting() != 0)
        return true;
    if (askingClose_)
        return false; // a tick while the question is still on screen asks nothing more
    askingClose_ = true;
    const bool yes = ctx_.messages.ask(QStringLiteral("Command is executing, exit now?"),
                                       ctx_.texts.confirmationCaption, IMessageService::Icon::Question);
    askingClose_ = false;
    if (yes) {
        ctx_.Exiting = true; // the aborted command's Time Out reads no status
        devices_.user->abort();
        Timer1->start();
    }
    return false;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (closeAccepted_) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    closeAccepted_ = true;
    FormClose();
    event->accept();
}

void TMainForm::FormClose() {
    ctx_.frame.CloseLink(dev::Library::User);
    ctx_.frame.CloseLink(dev::Library::Service);
}

void TMainForm::FormDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    Timer1->stop();
    qApp->removeEventFilter(this);
    ctx_.plu.clear();
    ctx_.locale = nullptr;
    locale_.reset(); // the language library itself stays loaded
    if (!SystemConfig::writePort(options_.programDir, PortCB->currentIndex()))
        ctx_.errorBox(
            QStringLiteral("Unable to write to %1").arg(SystemConfig::filePath(options_.programDir)));
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize() {
    if (!Image1)
        return;
    // Right-aligned in the window's own part: a dock beside it takes the rest.
    const int own = centralWidget() ? centralWidget()->width() : width();
    Image1->move(own - Image1->width() - 30, Image1->y());
    Label118->move(Image1->x() - Label118->width() - 10, Label118->y());
    Panel2->resize(own, Panel2->height());
    // The notebook keeps its height; the "Return Buffer" group fills the rest.
    const QSize client = centralWidget()->size();
    Panel3->setGeometry(0, kPanelHeight, client.width(),
                        std::max(client.height() - kPanelHeight, kNotebookHeight));
    Notebook1->resize(client.width(), kNotebookHeight);
    GroupBox3->setGeometry(0, kNotebookHeight, client.width(), Panel3->height() - kNotebookHeight);
    ListBox1->setGeometry(6, 18, std::max(GroupBox3->width() - 12, 0), std::max(GroupBox3->height() - 24, 0));
    if (auto* anchor = ctx_.find<QWidget>(QStringLiteral("Button11"))) {
        for (const char* name : {"bbtnZNoReport1", "bbtnDateReport1", "bbtnMonthlyReport1"})
            if (auto* b = ctx_.find<QWidget>(QString::fromLatin1(name)))
                b->move(anchor->pos());
    }
}

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const bool ctrlAlt = modifiers.testFlag(Qt::ControlModifier) && modifiers.testFlag(Qt::AltModifier);
    if (!ctrlAlt)
        return false;
    if (key == Qt::Key_F8) {
        // isHidden, not isVisibleTo: a button on a page not shown is not hidden.
        btnUpdateFullProgram->setVisible(btnUpdateFullProgram->isHidden());
        UpdateProgramBtn->setVisible(UpdateProgramBtn->isHidden());
        return true;
    }
    if (key == Qt::Key_F9) {
        if (QAbstractButton* b = ctx_.menu.button(MenuCommand::SetId))
            b->setVisible(b->isHidden());
        return true;
    }
    return false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Key preview: the window sees every key first, then the key goes on unchanged.
    // A key that no control takes travels up to the parents; it counts once.
    if (event->type() == QEvent::KeyRelease) {
        lastKey_ = nullptr;
    } else if (event->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this) {
            auto* ke = static_cast<QKeyEvent*>(event);
            const bool propagated = event == lastKey_ && ke->key() == lastKeyCode_ && lastKeyTarget_ &&
                                    w != lastKeyTarget_ && w->isAncestorOf(lastKeyTarget_);
            if (!propagated) {
                lastKey_ = event;
                lastKeyCode_ = ke->key();
                lastKeyTarget_ = w;
                FormKeyDown(ke->key(), ke->modifiers());
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::installAutoAdvance() {
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        // Spin boxes, date pickers and drop-down lists hold line edits of their own; they do not advance.
        QWidget* parent = edit->parentWidget();
        if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent))
            continue;
        if (edit->property("autoAdvance").toBool())
            continue;
        edit->setProperty("autoAdvance", true);
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { autoAdvance(edit); });
    }
}

void TMainForm::autoAdvance(QLineEdit* edit) {
    const int max = TypingLimit(edit);
    if (max < 1 || max >= 32767) // 32767 is Qt's "no limit"
        return;
    if (edit->text().trimmed().size() < max)
        return;
    // The next control in tab order that accepts focus, going forward and wrapping.
    QWidget* next = edit->nextInFocusChain();
    while (next && next != edit) {
        if (next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
            next->window() == this && !next->focusProxy())
            break;
        next = next->nextInFocusChain();
    }
    if (next && next != edit)
        next->setFocus(Qt::TabFocusReason);
}
