#pragma once
// The console's main window, TMainForm: the port panel, the notebook of 39
// pages and the "Return Buffer" list.

#include "core/ConsoleContext.h"
#include "device/SessionRecorder.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class ReturnBufferView;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTimer;
class QGroupBox;
class QFrame;
class QToolButton;
class BridgeDialog;
class Page;
class PaperDock;
class PrinterPanel;
class ReturnBufferModel;
class TLocaleLibrary;

class TMainForm : public QMainWindow {
    Q_OBJECT
  public:
    struct Options {
        QString programDir;                // where SYSTEM.CFG lives (the executable's directory)
        QString languageLibrary = "Glosk"; // loaded by bare name, program directory first
        QString languageDir;               // where to look first; empty: programDir
        // The folder the device libraries were loaded from, shown in the status
        // bar; empty: not known (scripted devices), and the bar tells nothing
        // unless the libraries say what they are.
        QString libraryDir;
        QString executableDir; // the bridge is in <executableDir>/bridge; empty: the program's
        bool libraryDirFromCommandLine = false; // --library-dir chose the libraries
    };

    TMainForm(dev::DeviceSet devices, IMessageService& messages, Options options, QWidget* parent = nullptr);
    ~TMainForm() override;

    ConsoleContext& context() { return ctx_; }
    QStackedWidget* notebook() const { return Notebook1; }
    Page* page(PageId id) const;
    void showPage(PageId id);
    PageId currentPage() const;

    // Lifecycle steps, public so that tests can run them in order.
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();

    void PortCBChange();
    void btnOnlineClick();
    void btnOfflineClick();
    void Button3Click();
    void Timer1Timer();
    void FormResize();
    // Puts the window in the middle of its screen's available area (at start-up).
    void centreOnScreen();
    // Returns true when the key was one of the window's own toggles.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    QByteArray portName() const;
    // Gives every plain and masked edit box of the window (not spin or date
    // editors) the auto-advance handler; run at start-up.
    void installAutoAdvance();
    QTimer* timer() const { return Timer1; }
    // Offered only by our own device libraries; null otherwise.
    PaperDock* paperDock() const { return paperDock_; }
    // The Return Buffer's context menu: Copy (the selected lines), Copy all,
    // Save as text..., and the Paper and Printer views where the libraries
    // have them. A new menu each time, owned by the caller.
    class QMenu* returnBufferMenu(QWidget* parent);
    PrinterPanel* printerPanel() const { return printerPanel_; }

    // Recording the session: every call through the device libraries, one JSON
    // line each. Off at start; Ctrl+Shift+R (the action "actRecord") starts it,
    // asking for the file, and stops it; "REC" shows in the status bar meanwhile.
    dev::SessionRecorder& recorder() { return recorder_; }
    bool startRecording(const QString& path); // false after telling why
    void stopRecording();
    // Asks where to record; an empty answer records nothing. A save dialog by default.
    std::function<QString()> askRecordingPath;

    // Which printer the console drives, in the status bar (lbPrinter): the
    // virtual printer, the bridge's description, or the libraries' folder.
    QString printerText() const;
    void showPrinter();
    // "Real printer (bridge)..." (the action "actBridge", Ctrl+Shift+B, and the
    // status bar's button): the bridge set-up, shown application-modal.
    BridgeDialog* openBridgeDialog();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool FormCloseQuery();
    void buildLayout();
    void autoAdvance(class QLineEdit* edit);
    static void TAVO_CALL idle(void* self);
    static void TAVO_CALL printed(void* self, const char* utf8Line, int32_t documentNumber);
    void addPrinterDocks();
    void addRecording();
    void showRecording();
    void addPrinterLabel();
    void addReturnBufferActions();
    void saveReturnBuffer();

    // Every call of the console passes the recorder on its way to a library.
    dev::SessionRecorder recorder_;
    std::unique_ptr<dev::RecordingLibrary> recordedUser_, recordedService_;
    dev::DeviceSet devices_;
    std::unique_ptr<QtMessageService> ownMessages_;
    ConsoleContext ctx_;
    Options options_;
    std::unique_ptr<TLocaleLibrary> locale_;
    ReturnBufferModel* returnBuffer_ = nullptr;
    PaperDock* paperDock_ = nullptr;
    PrinterPanel* printerPanel_ = nullptr;
    std::vector<Page*> pages_;
    bool shown_ = false;
    bool destroyed_ = false;
    bool askingClose_ = false;
    bool closeAccepted_ = false;
    QEvent* lastKey_ = nullptr;
    int lastKeyCode_ = 0;
    QPointer<QWidget> lastKeyTarget_;

    // Controls, named as on the window.
    QFrame* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* PortCB = nullptr;
    QPushButton* btnOnline = nullptr;
    QPushButton* btnOffline = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* UpdateProgramBtn = nullptr;
    QPushButton* btnUpdateFullProgram = nullptr;
    QLabel* Label118 = nullptr;
    QLabel* Image1 = nullptr;
    QFrame* Panel3 = nullptr;
    QStackedWidget* Notebook1 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    ReturnBufferView* ListBox1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* lbRec = nullptr; // "REC" while recording
    QAction* actRecord = nullptr;
    QLabel* lbPrinter = nullptr;      // which printer the console drives
    QToolButton* btnBridge = nullptr; // opens the bridge set-up
    QAction* actBridge = nullptr;
    QAction* actCopyLines = nullptr;       // the selected lines of the Return Buffer
    QAction* actCopyAll = nullptr;         // all of it
    QAction* actSaveBuffer = nullptr;      // all of it, to a text file
    QToolButton* btnPaperView = nullptr;   // the Paper dock, in the status bar
    QToolButton* btnPrinterView = nullptr; // the Printer panel, in the status bar
    QTimer* Timer1 = nullptr;
};
