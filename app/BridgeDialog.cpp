#include "app/BridgeDialog.h"

#include "app/BridgeSetup.h"
#include "app/SystemConfig.h"
#include "device/QLibraryDevice.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <algorithm>

using namespace bridgesetup;

namespace {

template <typename W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

enum class Tone { Plain, Good, Problem };

// A label that tells something: it wraps (and a long path in it breaks after a
// slash, see breakable), so that it never widens the window.
QLabel* messageLabel(QLabel* label) {
    label->setWordWrap(true);
    return label;
}

// A text that may break after each slash of a path (a zero-width space there).
QString breakable(const QString& text) {
    return QString(text).replace(QLatin1Char('/'), QStringLiteral("/\u200b"));
}

// An empty text hides its label: the group keeps no blank line. A text that
// needs more room makes the window taller rather than squeezing the rows.
void setState(QLabel* label, const QString& text, Tone tone) {
    // Selectable texts are copied as they are; the others may break after a slash.
    const bool copied = label->textInteractionFlags().testFlag(Qt::TextSelectableByMouse);
    label->setText(copied ? text : breakable(text));
    label->setVisible(!text.isEmpty());
    if (QWidget* window = label->window(); window->isVisible()) {
        window->layout()->activate();
        const int wanted = window->hasHeightForWidth() ? window->heightForWidth(window->width())
                                                       : window->sizeHint().height();
        if (wanted > window->height())
            window->resize(window->width(), wanted);
    }
    label->setStyleSheet(tone == Tone::Problem ? QStringLiteral("QLabel { color: #b00000; }")
                         : tone == Tone::Good  ? QStringLiteral("QLabel { color: #1e6b1e; }")
                                               : QString());
}
void setState(QLabel* label, const QString& text, bool problem) {
    setState(label, text, problem ? Tone::Problem : Tone::Good);
}

QString home(const QString& path) {
    const QString h = QDir::homePath();
    return path.startsWith(h + QLatin1Char('/')) ? QStringLiteral("~") + path.mid(h.size()) : path;
}

} // namespace

BridgeDialog::BridgeDialog(Options options, QWidget* parent) : QDialog(parent), options_(std::move(options)) {
    setObjectName(QStringLiteral("BridgeDialog"));
    setWindowTitle(QStringLiteral("Real printer (bridge)"));
    auto* column = new QVBoxLayout(this);
    column->setSpacing(10);
    auto* intro =
        named(new QLabel(QStringLiteral("The maker's Windows libraries drive the printer; the bridge runs "
                                        "them under Wine on this computer, or on a Windows computer "
                                        "reached with ssh, and the console talks to them through it."),
                         this),
              "lbIntro");
    messageLabel(intro);
    column->addWidget(intro);

    // The maker's libraries.
    auto* dlls = named(new QGroupBox(QStringLiteral("The maker's device libraries"), this), "gbDlls");
    auto* dllGrid = new QGridLayout(dlls);
    folder_ = named(new QLineEdit(dlls), "edDllFolder");
    folder_->setPlaceholderText(QStringLiteral("the folder holding TavoUser.dll and TavoSrv.dll"));
    auto* browse = named(new QPushButton(QStringLiteral("Browse..."), dlls), "btnBrowseDlls");
    dllCheck_ = messageLabel(named(new QLabel(dlls), "lbDllCheck"));
    dllGrid->addWidget(named(new QLabel(QStringLiteral("Folder:"), dlls), "lbDllFolder"), 0, 0);
    dllGrid->addWidget(folder_, 0, 1);
    dllGrid->addWidget(browse, 0, 2);
    dllGrid->addWidget(dllCheck_, 1, 1, 1, 2);
    dllGrid->setColumnStretch(1, 1);
    column->addWidget(dlls);

    // Wine's COM ports.
    auto* ports =
        named(new QGroupBox(QStringLiteral("Serial ports: the Linux device behind each COM port"), this),
              "gbPorts");
    auto* portGrid = new QGridLayout(ports);
    portGrid->setHorizontalSpacing(8);
    const QStringList devices = serialDevices();
    const std::map<int, QString> links = readPortLinks(winePrefix());
    for (int i = 0; i < kComPorts; ++i) {
        const int com = i + 1;
        auto* box = named(new QComboBox(ports), QStringLiteral("cbCom%1").arg(com));
        box->setEditable(true);
        box->addItem(QString());
        box->addItems(devices);
        box->setMinimumContentsLength(22);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->lineEdit()->setPlaceholderText(QStringLiteral("not linked"));
        if (const auto it = links.find(com); it != links.end())
            box->setCurrentText(it->second);
        else
            box->setCurrentIndex(0);
        auto* label =
            named(new QLabel(QStringLiteral("COM%1").arg(com), ports), QStringLiteral("lbCom%1").arg(com));
        label->setBuddy(box);
        const int row = i % 6, col = i < 6 ? 0 : 3;
        portGrid->addWidget(label, row, col);
        portGrid->addWidget(box, row, col + 1);
        ports_[i] = box;
    }
    portGrid->setColumnMinimumWidth(2, 16);
    portGrid->setColumnStretch(1, 1);
    portGrid->setColumnStretch(4, 1);
    auto* prefix =
        named(new QLabel(
                  breakable(QStringLiteral("Save links each chosen port in the console's own Wine prefix: %1")
                                .arg(home(QDir(winePrefix()).filePath(QStringLiteral("dosdevices"))))),
                  ports),
              "lbPrefix");
    messageLabel(prefix);
    prefix->setEnabled(false);
    portGrid->addWidget(prefix, 6, 0, 1, 5);
    column->addWidget(ports);

    // The bridge host's command line.
    auto* host = named(new QGroupBox(QStringLiteral("Bridge host"), this), "gbHost");
    auto* hostGrid = new QGridLayout(host);
    command_ = named(new QLineEdit(host), "edCommand");
    command_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    command_->setPlaceholderText(
        QStringLiteral("wine .../tavo-bridge-x86.exe --dir ...  or  ssh shop-pc ..."));
    auto* fill = named(new QPushButton(QStringLiteral("Fill in"), host), "btnFillCommand");
    fill->setToolTip(QStringLiteral("Make the command from the folder of the maker's libraries"));
    name_ = named(new QLineEdit(host), "edName");
    name_->setPlaceholderText(QStringLiteral("shown in the status bar; empty: the command"));
    wine_ = messageLabel(named(new QLabel(host), "lbWine"));
    wine_->setTextInteractionFlags(Qt::TextSelectableByMouse); // the install command is copied
    hostGrid->addWidget(named(new QLabel(QStringLiteral("Command:"), host), "lbCommand"), 0, 0);
    hostGrid->addWidget(command_, 0, 1);
    hostGrid->addWidget(fill, 0, 2);
    hostGrid->addWidget(wine_, 1, 1, 1, 2); // under the command it is about
    hostGrid->addWidget(named(new QLabel(QStringLiteral("Name:"), host), "lbName"), 2, 0);
    hostGrid->addWidget(name_, 2, 1, 1, 2);
    hostGrid->setColumnStretch(1, 1);
    column->addWidget(host);

    // A Printer Status through the bridge.
    auto* testBox = named(new QGroupBox(QStringLiteral("Test"), this), "gbTest");
    auto* testGrid = new QGridLayout(testBox);
    testPort_ = named(new QComboBox(testBox), "cbTestPort");
    for (int com = 1; com <= kComPorts; ++com)
        testPort_->addItem(QStringLiteral("COM%1").arg(com));
    testPort_->setCurrentIndex(options_.port >= 0 && options_.port < kComPorts ? options_.port : 0);
    test_ = named(new QPushButton(QStringLiteral("Test"), testBox), "btnTest");
    test_->setToolTip(QStringLiteral("Open the link through the bridge and run Printer Status"));
    progress_ = named(new QProgressBar(testBox), "progressTest");
    progress_->setRange(0, 0); // how long Wine takes to start is not known
    progress_->setTextVisible(false);
    progress_->setMaximumHeight(test_->sizeHint().height() - 6);
    progress_->hide();
    cancel_ = named(new QPushButton(QStringLiteral("Cancel"), testBox), "btnCancelTest");
    cancel_->hide();
    testResult_ = messageLabel(named(new QLabel(testBox), "lbTestResult"));
    auto* testLabel = named(new QLabel(QStringLiteral("Port:"), testBox), "lbTestPort");
    testLabel->setBuddy(testPort_);
    auto* testRow = new QHBoxLayout();
    testRow->addWidget(testLabel);
    testRow->addWidget(testPort_);
    testRow->addWidget(test_);
    testRow->addWidget(progress_, 1);
    testRow->addWidget(cancel_);
    testRow->addStretch(0);
    testGrid->addLayout(testRow, 0, 0);
    testGrid->addWidget(testResult_, 1, 0);
    column->addWidget(testBox);
    // The rows' captions line up across the groups.
    int captionWidth = 0;
    for (const char* name : {"lbDllFolder", "lbCommand", "lbName", "lbTestPort"})
        captionWidth =
            std::max(captionWidth, findChild<QLabel*>(QString::fromLatin1(name))->sizeHint().width());
    for (const char* name : {"lbDllFolder", "lbCommand", "lbName", "lbTestPort"})
        findChild<QLabel*>(QString::fromLatin1(name))->setMinimumWidth(captionWidth);

    message_ = messageLabel(named(new QLabel(this), "lbMessage"));
    column->addWidget(message_);
    for (QLabel* empty : {testResult_, message_})
        setState(empty, QString(), Tone::Plain);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    save_ = named(new QPushButton(QStringLiteral("Save"), this), "btnSave");
    save_->setToolTip(QStringLiteral("Write %1, link the ports and load the bridge from SYSTEM.CFG")
                          .arg(home(settingsPath())));
    close_ = named(new QPushButton(QStringLiteral("Close"), this), "btnClose");
    buttons->addWidget(save_);
    buttons->addWidget(close_);
    column->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &BridgeDialog::browse);
    connect(folder_, &QLineEdit::textEdited, this, [this] { checkFolder(true); });
    connect(fill, &QPushButton::clicked, this, &BridgeDialog::fillCommand);
    connect(test_, &QPushButton::clicked, this, &BridgeDialog::test);
    connect(cancel_, &QPushButton::clicked, this, &BridgeDialog::cancelTest);
    connect(save_, &QPushButton::clicked, this, &BridgeDialog::save);
    connect(close_, &QPushButton::clicked, this, &BridgeDialog::reject);

    // What was saved before: the command, the name and the folder of its --dir.
    if (const std::optional<Settings> saved = readSettings(settingsPath())) {
        command_->setText(saved->command);
        name_->setText(saved->name);
        folder_->setText(dirOfCommand(saved->command));
    }
    checkFolder(command_->text().isEmpty());
    if (const QStringList notes = shadowingNotes(options_.executableDir); !notes.isEmpty())
        tell(notes.join(QLatin1Char('\n')), true);
    resize(sizeHint().expandedTo(QSize(720, 0)));
}

BridgeDialog::~BridgeDialog() = default;

void BridgeDialog::browse() {
    const QString dir =
        QFileDialog::getExistingDirectory(this, QStringLiteral("The folder of the maker's libraries"),
                                          folder_->text().isEmpty() ? QDir::homePath() : folder_->text());
    if (dir.isEmpty())
        return;
    folder_->setText(QDir::toNativeSeparators(dir));
    checkFolder(true);
}

void BridgeDialog::checkFolder(bool fill) {
    const DllFolder found = checkDllFolder(folder_->text().trimmed());
    if (!found.machine) {
        // An empty folder is no mistake yet: the line says what to do.
        setState(dllCheck_, found.error, folder_->text().trimmed().isEmpty() ? Tone::Plain : Tone::Problem);
        setState(wine_, QString(), Tone::Plain);
        return;
    }
    setState(dllCheck_,
             QStringLiteral("TavoUser.dll and TavoSrv.dll found: %1 (%2).")
                 .arg(machineText(*found.machine),
                      *found.machine == Machine::X86 ? QStringLiteral("x86") : QStringLiteral("x86-64")),
             false);
    const WineChoice wine = chooseWine(*found.machine, findWine());
    if (wine.problem.isEmpty())
        setState(wine_, QStringLiteral("Wine: %1").arg(wine.program), false);
    else
        setState(wine_, wine.problem, true);
    if (fill)
        fillCommand();
}

void BridgeDialog::fillCommand() {
    const DllFolder found = checkDllFolder(folder_->text().trimmed());
    if (!found.machine) {
        setState(dllCheck_, found.error, true);
        return;
    }
    const HostCommand c = hostCommand(chooseWine(*found.machine, findWine()).program, options_.executableDir,
                                      *found.machine, folder_->text().trimmed());
    if (!c.error.isEmpty()) {
        tell(c.error, true);
        return;
    }
    command_->setText(c.command);
    command_->setCursorPosition(0);
}

namespace {
std::map<int, QString> chosenDevices(QComboBox* const (&ports)[12]) {
    std::map<int, QString> devices;
    for (int i = 0; i < kComPorts; ++i)
        devices[i + 1] = ports[i]->currentText().trimmed();
    return devices;
}
} // namespace

bool BridgeDialog::save() {
    if (testing_)
        return false;
    const Settings settings{command_->text(), name_->text(), winePrefix()};
    const QString path = settingsPath();
    QString error;
    if (!writeSettings(path, settings, &error)) {
        tell(error, true);
        return false;
    }
    QStringList told{QStringLiteral("Saved %1.").arg(home(path))};
    const LinkReport links = applyPortLinks(winePrefix(), chosenDevices(ports_));
    if (!links.changes.isEmpty())
        told << QStringLiteral("Ports: %1.").arg(links.changes.join(QStringLiteral(", ")));
    told << links.refused;
    const QString client = clientFolder(options_.executableDir);
    bool problem = !links.refused.isEmpty();
    if (!SystemConfig::writeLibraryDir(options_.configDir, client)) {
        told << QStringLiteral("Unable to write to %1").arg(SystemConfig::filePath(options_.configDir));
        problem = true;
    } else if (options_.runningOnBridge) {
        told << QStringLiteral("The console runs on the bridge: its next command uses these settings.");
    } else {
        told << QStringLiteral(
                    "SYSTEM.CFG now loads the device libraries from %1: the console drives the printer "
                    "through the bridge from its next start.")
                    .arg(QDir::toNativeSeparators(client));
        if (options_.libraryDirFromCommandLine)
            told << QStringLiteral("A --library-dir given when it starts wins over SYSTEM.CFG.");
    }
    const QStringList notes = shadowingNotes(options_.executableDir);
    told << notes;
    tell(told.join(QLatin1Char('\n')), problem || !notes.isEmpty());
    if (options_.saved)
        options_.saved();
    return !problem;
}

void TAVO_CALL BridgeDialog::idle(void* self) {
    Q_UNUSED(self);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void BridgeDialog::test() {
    if (testing_)
        return;
    // The settings as they stand, in a file of the test's own: nothing is saved.
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bridge.ini"));
    QString error;
    if (!dir.isValid() ||
        !writeSettings(path, Settings{command_->text(), name_->text(), winePrefix()}, &error)) {
        setState(testResult_, error.isEmpty() ? QStringLiteral("Cannot write a temporary file.") : error,
                 true);
        return;
    }
    // Wine opens the ports through the links: they are made as chosen.
    const LinkReport links = applyPortLinks(winePrefix(), chosenDevices(ports_));
    if (options_.beforeTest)
        options_.beforeTest();
    setTesting(true);
    setState(testResult_,
             QStringLiteral("Starting the bridge on %1 (the first start of Wine takes a while)...")
                 .arg(testPort_->currentText()),
             Tone::Plain);
    TestOutcome outcome;
    {
        const ScopedEnvironment config("TAVO_BRIDGE_CONFIG", QFile::encodeName(path));
        const std::unique_ptr<dev::QLibraryDevice> client = loadClient(options_.executableDir, &error);
        if (client) {
            client_ = client.get();
            client->setIdleHandler(&BridgeDialog::idle, this);
            outcome = runPrinterStatus(*client, testPort_->currentText().toLatin1());
            client->setIdleHandler(nullptr, nullptr);
            client_ = nullptr;
        } else {
            outcome.text = error;
        }
    }
    const bool cancelled = !cancel_->isEnabled();
    setTesting(false);
    if (options_.afterTest)
        options_.afterTest();
    QStringList told{outcome.text};
    if (cancelled)
        told.prepend(QStringLiteral("Cancelled."));
    else if (!outcome.ok && outcome.text.startsWith(QStringLiteral("The link did not open")) &&
             !outcome.text.contains(QStringLiteral("\nThe bridge: ")))
        told << QStringLiteral(
            "The bridge client writes why to the console's error output: start the console "
            "from a terminal to read it.");
    told << links.refused;
    setState(testResult_, told.join(QLatin1Char('\n')), !outcome.ok);
    test_->setFocus();
}

void BridgeDialog::cancelTest() {
    if (!testing_ || !client_)
        return;
    client_->abort();
    cancel_->setEnabled(false);
    setState(testResult_, QStringLiteral("Cancelling..."), Tone::Plain);
}

void BridgeDialog::setTesting(bool on) {
    testing_ = on;
    progress_->setVisible(on);
    cancel_->setVisible(on);
    cancel_->setEnabled(on);
    for (QWidget* w : std::initializer_list<QWidget*>{test_, save_, close_, testPort_})
        w->setEnabled(!on);
}

void BridgeDialog::reject() {
    if (testing_) {
        cancelTest();
        return;
    }
    QDialog::reject();
}

void BridgeDialog::tell(const QString& text, bool problem) {
    setState(message_, text, problem);
}

QString BridgeDialog::message() const {
    return message_->text().remove(QChar(0x200b));
}
