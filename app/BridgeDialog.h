#pragma once
// "Real printer (bridge)": the bridge set up as a technician does it — the
// folder of the maker's DLLs (told whether they are 32- or 64-bit), which Linux
// serial device stands for which COM port, the bridge host's command line, Save
// (bridge.ini and SYSTEM.CFG) and a Printer Status test through the bridge. The
// logic is bridgesetup's (BridgeSetup.h); this is its face.

#include "device/TavoApi.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace dev {
class IDeviceLibrary;
}

class BridgeDialog : public QDialog {
    Q_OBJECT
  public:
    struct Options {
        QString executableDir; // the bridge client and hosts are in <executableDir>/bridge
        QString configDir;     // where SYSTEM.CFG is kept
        int port = 0;          // the test's port, 0 for COM1
        bool runningOnBridge = false;
        bool libraryDirFromCommandLine = false;
        std::function<void()> beforeTest; // frees the port: the window closes its links
        std::function<void()> afterTest;  // and takes its idle handler back
        std::function<void()> saved;
    };

    explicit BridgeDialog(Options options, QWidget* parent = nullptr);
    ~BridgeDialog() override;

    // Checks the DLL folder and shows what it holds; with `fill`, the command is
    // made from it (when the check finds the libraries).
    void checkFolder(bool fill);
    void fillCommand();
    bool save();
    void test();
    bool testing() const { return testing_; }
    QString message() const; // what the dialog last told (lbMessage)

  protected:
    void reject() override; // while a test runs: cancels it, the window stays

  private:
    static void TAVO_CALL idle(void* self);
    void browse();
    void cancelTest();
    void setTesting(bool on);
    void tell(const QString& text, bool problem);

    Options options_;
    bool testing_ = false;
    dev::IDeviceLibrary* client_ = nullptr; // while a test runs
    QLineEdit* folder_ = nullptr;
    QLabel* dllCheck_ = nullptr;
    QComboBox* ports_[12] = {};
    QLineEdit* command_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* wine_ = nullptr;
    QComboBox* testPort_ = nullptr;
    QPushButton* test_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* testResult_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* close_ = nullptr;
};
