// The "Paper" and "Printer" docks: the paper roll's model on its own, then both
// docks on a scripted device with the extensions and on the virtual printer.
#include "RecordingMessages.h"
#include "ScriptedDevice.h"
#include "TestWindow.h"
#include "VirtualPrinterTest.h"

#include "answers/PaperRollModel.h"
#include "answers/PaperRollView.h"
#include "app/PaperDock.h"
#include "app/PrinterPanel.h"
#include "core/ReturnBufferModel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>

#include <gtest/gtest.h>

using Kind = PaperRollModel::Kind;

TEST(PaperRoll, TearsBetweenDocumentsAndAfterAnInterruptedPrint) {
    PaperRollModel m;
    m.appendLine("PARAGON FISKALNY", 7);
    m.appendLine("Mleko", 7);
    m.appendLine("Chleb", 8); // a new document: torn off first
    m.appendLine(TAVO_PRINT_INTERRUPTED, 8);
    m.appendLine("Chleb", 8); // the same document printed again after the interruption
    ASSERT_EQ(m.rowCount(), 7);
    const std::vector<Kind> kinds{Kind::Line,        Kind::Line, Kind::Tear, Kind::Line,
                                  Kind::Interrupted, Kind::Tear, Kind::Line};
    for (int i = 0; i < m.rowCount(); ++i)
        EXPECT_EQ(m.kindAt(i), kinds[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(m.lineAt(1), QStringLiteral("Mleko"));
    EXPECT_EQ(m.documentAt(3), 8);
    EXPECT_EQ(m.data(m.index(6), PaperRollModel::KindRole).toInt(), static_cast<int>(Kind::Line));
    EXPECT_FALSE(m.data(m.index(99), Qt::DisplayRole).isValid());
    // bad lines lose nothing else: a null is ignored, an overlong line is cut on a character
    m.appendLine(nullptr, 8);
    EXPECT_EQ(m.rowCount(), 7);
    const QString longLine = QString(200, QChar(0x0105)); // ą, two bytes each
    m.appendLine(longLine, 8);
    EXPECT_EQ(m.lineAt(7), QString(64, QChar(0x0105)));
    m.clear();
    EXPECT_EQ(m.rowCount(), 0);
    m.appendLine("Pierwszy", 9);
    EXPECT_EQ(m.rowCount(), 1) << "no tear before the first line";
}

TEST(PaperRoll, SearchWrapsAndSaveWritesTheWholeRollOrNothing) {
    PaperRollModel m;
    m.appendLine(QStringLiteral("Książka"), 1);
    m.appendLine(QStringLiteral("GOTÓWKA 5,00"), 1);
    m.appendLine(QStringLiteral("książka"), 2);
    EXPECT_EQ(m.find(QStringLiteral("KSIĄŻ"), -1), 0);
    EXPECT_EQ(m.find(QStringLiteral("KSIĄŻ"), 0), 3);
    EXPECT_EQ(m.find(QStringLiteral("KSIĄŻ"), 3), 0) << "wraps";
    EXPECT_EQ(m.find(QStringLiteral("KSIĄŻ"), 0, true), 3) << "backwards, wrapping";
    EXPECT_EQ(m.find(QStringLiteral("- -"), -1), -1) << "a tear is not text";
    EXPECT_EQ(m.find(QString(), -1), -1);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("roll.txt"));
    ASSERT_TRUE(m.saveText(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              QStringLiteral("Książka\nGOTÓWKA 5,00\n- - - - - - - - - - - - - - - - \nksiążka\n"));
    QString error;
    EXPECT_FALSE(m.saveText(dir.filePath(QStringLiteral("no/such/folder/roll.txt")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("roll.txt")})
        << "nothing half-written left behind";
}

namespace {
// A window on scripted libraries that have our own extensions.
struct ExtendedWindow {
    ExtendedWindow() {
        testApplication();
        user.extensions = service.extensions = true;
        TMainForm::Options o;
        o.programDir = dir.path();
        o.languageLibrary = QStringLiteral("NoSuchLanguageLibrary");
        form = std::make_unique<TMainForm>(dev::DeviceSet{&user, &service}, messages, o);
        messages.clear();
    }
    template <typename T> T* find(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTemporaryDir dir;
    ScriptedDevice user{"user"}, service{"service"};
    RecordingMessages messages;
    std::unique_ptr<TMainForm> form;
};
} // namespace

TEST(PrinterDocks, NotOfferedByALibraryWithoutTheExtensions) {
    TestWindow w;
    EXPECT_EQ(w.form->paperDock(), nullptr);
    EXPECT_EQ(w.form->printerPanel(), nullptr);
    EXPECT_EQ(w.form->findChild<QAction*>(QStringLiteral("actPaper")), nullptr);
    EXPECT_EQ(w.form->findChild<QDockWidget*>(), nullptr);
}

TEST(PrinterDocks, ScriptedLinesReachThePaperAndASwitchRunsTheStatusCommand) {
    ExtendedWindow w;
    PaperDock* paper = w.form->paperDock();
    PrinterPanel* panel = w.form->printerPanel();
    ASSERT_NE(paper, nullptr);
    ASSERT_NE(panel, nullptr);
    w.form->show();
    EXPECT_TRUE(paper->isHidden()) << "hidden until asked for";
    EXPECT_TRUE(panel->isHidden());
    auto* act = w.find<QAction>("actPaper");
    ASSERT_NE(act, nullptr);
    EXPECT_EQ(act->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    act->trigger();
    EXPECT_FALSE(paper->isHidden());

    // both libraries print onto the one roll
    w.user.print("PARAGON FISKALNY", 3);
    w.user.print("Mleko", 3);
    w.service.print("NUMER UNIKATOWY ABC", 4);
    ASSERT_EQ(paper->model()->rowCount(), 4);
    EXPECT_EQ(paper->model()->kindAt(2), Kind::Tear);
    auto* search = w.find<QLineEdit>("PaperSearch");
    search->setText(QStringLiteral("mleko"));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_EQ(paper->view()->currentIndex().row(), 1);
    EXPECT_EQ(w.find<QLabel>("PaperFound")->text(), QStringLiteral("Document 3"));
    paper->askPath = [&] { return w.dir.filePath(QStringLiteral("paper.txt")); };
    w.find<QPushButton>("PaperSave")->click();
    EXPECT_TRUE(QFile::exists(w.dir.filePath(QStringLiteral("paper.txt"))));

    // the view follows the printing while the newest line is in sight, and stays put when scrolled up
    QCoreApplication::processEvents();
    for (int i = 0; i < 300; ++i)
        w.user.print(QByteArray::number(i).constData(), 5);
    QScrollBar* bar = paper->view()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(10);
    w.user.print("jeszcze", 5);
    EXPECT_EQ(bar->value(), 10);
    EXPECT_FALSE(paper->view()->following());

    // paper out: set on the link, then the printer status through the command frame
    w.form->findChild<QAction*>(QStringLiteral("actPrinter"))->trigger();
    const PageId page = w.form->currentPage();
    w.user.reply("cmPrinterStatus", 0, 0, "P02");
    w.user.clearCalls();
    w.find<QCheckBox>("chkPaperOut")->click();
    const std::vector<std::string> expected{"OpenTavo", "TavoSetFault", "cmPrinterStatus", "cmPrinterStatus"};
    EXPECT_EQ(w.user.functions(), expected) << "sizing and real call of the status command";
    EXPECT_EQ(w.user.faults["paper"], "out");
    EXPECT_TRUE(w.find<QCheckBox>("chkPaperOut")->isChecked());
    EXPECT_TRUE(w.find<QLabel>("lbReported")->text().contains(QStringLiteral("P02")));
    const ReturnBufferModel* rb = w.form->context().returnBuffer;
    ASSERT_GE(rb->rowCount(), 3);
    EXPECT_TRUE(rb->lineAt(rb->rowCount() - 1).startsWith(QStringLiteral("50 30 32")));
    EXPECT_EQ(w.form->currentPage(), page) << "the page in use stays on screen";

    // the printer says the paper is there after all: the switch shows what it reports
    w.user.reply("cmPrinterStatus", 0, 0, "P00");
    w.find<QCheckBox>("chkOffline")->click();
    w.find<QCheckBox>("chkOffline")->click();
    EXPECT_FALSE(w.find<QCheckBox>("chkPaperOut")->isChecked());

    // a busy printer refuses: the box says so, the switch stays as it was
    w.user.extensionResult = TAVO_EXT_BUSY;
    w.messages.clear();
    w.find<QCheckBox>("chkLowBattery")->click();
    ASSERT_EQ(w.messages.boxes.size(), 1u);
    EXPECT_TRUE(w.messages.boxes[0].text.contains(QStringLiteral("busy")));
    EXPECT_FALSE(w.find<QCheckBox>("chkLowBattery")->isChecked());
    EXPECT_EQ(w.user.count("cmHardwareStatus"), 0);

    // time-outs: no status command (it would use one up), the count as the library keeps it
    w.user.extensionResult = 0;
    w.user.clearCalls();
    w.find<QSpinBox>("spinTimeouts")->setValue(3);
    w.find<QPushButton>("btnTimeouts")->click();
    EXPECT_EQ(w.user.commands(true).size(), 0u);
    EXPECT_EQ(w.user.faults["timeouts"], "3");
    EXPECT_TRUE(w.find<QLabel>("lbReported")->text().contains(QStringLiteral("time-outs left 3")));

    // the clock: one minute before midnight of the printer's day, then its software status
    w.user.extensionResult = 0;
    w.user.clock = "2026-02-10 14:03:00";
    w.find<QPushButton>("btnEndOfMonth")->click();
    EXPECT_EQ(w.user.clock, "2026-02-28 23:59:00");
    w.find<QPushButton>("btnMinuteToMidnight")->click();
    EXPECT_EQ(w.user.clock, "2026-02-28 23:59:00");
    EXPECT_EQ(w.user.count("cmSoftwareStatus"), 2);
}

class PrinterDocksOnTheVirtualPrinter : public VirtualPrinterTest {};

TEST_F(PrinterDocksOnTheVirtualPrinter, AReceiptOnThePaperAndLiveSwitches) {
    PaperDock* paper = form->paperDock();
    PrinterPanel* panel = form->printerPanel();
    ASSERT_NE(paper, nullptr);
    ASSERT_NE(panel, nullptr);
    using dev::Arg;
    run(protocol::cmd::cmSetVatRate,
        {Arg::integer(2300), Arg::integer(800), Arg::integer(500), Arg::integer(0), Arg::integer(9999),
         Arg::integer(9999), Arg::integer(9999), Arg::integer(9999), Arg::integer(9999),
         Arg::text1250(QStringLiteral("D"))});
    paper->model()->clear();
    run(protocol::cmd::cmSaleItem, {Arg::real(1), Arg::text1250(QStringLiteral("szt")), Arg::real(2.5),
                                    Arg::text1250(QStringLiteral("01")),
                                    Arg::text1250(QStringLiteral("Żurek")), Arg::integer(0), Arg::real(0)});
    run(protocol::cmd::cmPayment,
        {Arg::integer(0), Arg::integer(0), Arg::integer(0), Arg::real(5), Arg::real(0), Arg::real(0)});
    expectNoBoxes("receipt");
    const PaperRollModel* m = paper->model();
    QStringList lines;
    for (int i = 0; i < m->rowCount(); ++i)
        lines << m->lineAt(i);
    EXPECT_GE(lines.indexOf(QStringLiteral("Żurek")), 0) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.join('\n').contains(QStringLiteral("RESZTA")));
    EXPECT_EQ(m->kindAt(0), Kind::Line) << "one document, no tear inside it";
    for (int i = 0; i < m->rowCount(); ++i)
        EXPECT_EQ(m->kindAt(i), Kind::Line) << i;

    // paper out, live: the printer status shows it and the next printing command is refused
    form->findChild<QAction*>(QStringLiteral("actPrinter"))->trigger();
    find<QCheckBox>("chkPaperOut")->click();
    expectNoBoxes("paper out");
    EXPECT_TRUE(find<QCheckBox>("chkPaperOut")->isChecked());
    EXPECT_TRUE(find<QLabel>("lbReported")->text().contains(QStringLiteral("P02 (paper out)")))
        << find<QLabel>("lbReported")->text().toStdString();
    const auto refused =
        form->context().frame.run(protocol::cmd::cmReceiveCash, [] { return dev::Args{Arg::real(1)}; });
    EXPECT_FALSE(refused.has_value());
    EXPECT_EQ(form->context().frame.lastResult().SubCode, 8);
    messages.clear();
    find<QCheckBox>("chkPaperOut")->click();
    EXPECT_FALSE(find<QCheckBox>("chkPaperOut")->isChecked());

    // fiscal memory nearly full and the reset jumper, as the hardware status reports them
    auto* fm = find<QComboBox>("cbFiscalMemory");
    fm->setCurrentIndex(1);
    emit fm->activated(1);
    find<QCheckBox>("chkResetPin")->click();
    expectNoBoxes("hardware switches");
    ASSERT_TRUE(panel->switches().report().hardware.has_value());
    EXPECT_EQ(panel->switches().report().hardware->freeZ, QStringLiteral("10"));
    EXPECT_TRUE(find<QCheckBox>("chkResetPin")->isChecked());

    // the clock a minute before midnight, read back from the software status
    find<QPushButton>("btnMinuteToMidnight")->click();
    expectNoBoxes("clock");
    ASSERT_TRUE(panel->switches().report().software.has_value());
    EXPECT_TRUE(panel->switches().report().software->time.startsWith(QStringLiteral("23:59")));
    EXPECT_TRUE(find<QLabel>("lbPrinterClock")->text().contains(QStringLiteral(" 23:59:")));
}

// The panel's clock ticks from the printer's clock without asking it again,
// and follows the chosen port: the link opens there and that printer's clock shows.
TEST_F(PrinterDocksOnTheVirtualPrinter, TheClockTicksAndFollowsThePort) {
    form->show();
    form->findChild<QAction*>(QStringLiteral("actPrinter"))->trigger();
    find<QPushButton>("btnMinuteToMidnight")->click();
    expectNoBoxes("clock");
    auto* clock = find<QLabel>("lbPrinterClock");
    const QString first = clock->text();
    ASSERT_TRUE(first.contains(QStringLiteral(" 23:59:0"))) << first.toStdString();
    for (int waited = 0; clock->text() == first && waited < 5000; waited += 50)
        QTest::qWait(50);
    EXPECT_GT(clock->text(), first) << "the clock ticks";
    EXPECT_TRUE(clock->text().contains(QStringLiteral(" 23:59:"))) << clock->text().toStdString();

    auto* ports = find<QComboBox>("PortCB");
    ports->setCurrentIndex(1); // COM2: no clock of its own set
    expectNoBoxes("port change");
    EXPECT_TRUE(form->context().frame.UserLinkOpen);
    if (QTime::currentTime().toString(QStringLiteral("HH:mm")) != QStringLiteral("23:59")) {
        EXPECT_FALSE(clock->text().contains(QStringLiteral(" 23:59:"))) << clock->text().toStdString();
    }
}
