// After a Time Out on a command that closes a document: the rule that reads
// the software status (table of cases), and the console on the virtual printer
// with an answer lost (the receipt is recorded) and with a time-out (it is not).

#include "VirtualPrinterTest.h"

#include "core/LostAnswer.h"
#include "core/ReturnBufferModel.h"
#include "device/DeviceErrors.h"
#include "protocol/Commands.h"
#include "protocol/Layouts.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QStatusBar>

#include <gtest/gtest.h>

namespace {

namespace S = protocol::SoftwareStatus;

// A software status answer: next receipt number, sub-total, and the flags.
QByteArray status(int next, bool open, bool paying, bool daySales = true) {
    QByteArray a(S::layout.size, '0');
    a.replace(0, 2, "O0");
    a.replace(S::ReceiptNo.offset, S::ReceiptNo.width, QByteArray::number(next).rightJustified(6, '0'));
    a[S::ReceiptNotClosed.offset] = open ? '1' : '0';
    a[S::PaymentStarted.offset] = paying ? '1' : '0';
    a[S::ZReportNeeded.offset] = daySales ? '1' : '0';
    return a;
}

struct Case {
    const char* code;
    QByteArray now, before;
    const char* note;
};

TEST(LostAnswerRule, TellsFromTheSoftwareStatus) {
    const QByteArray none;
    const Case cases[] = {
        // payment and package payments: closed, open unpaid, part payment
        {"34", status(124, false, false), none, "receipt 000123 recorded: do not repeat it"},
        {"42", status(125, false, false), status(124, true, false),
         "receipt 000124 recorded: do not repeat it"},
        {"46", status(7, true, false), none,
         "receipt not recorded (still open): the payment may be repeated"},
        {"34", status(124, false, false), status(124, false, false),
         "no receipt was open: nothing recorded, nothing to repeat"},
        {"34", status(9, true, true), status(9, true, false),
         "payment recorded, receipt 000009 still open: do not repeat the payment"},
        {"34", status(9, true, true), none,
         "receipt 000009 still open with a payment started: check the paper before paying again"},
        {"34", status(9, true, true), status(9, true, true),
         "receipt 000009 still open with a payment started: check the paper before paying again"},
        // receipt close and cancel
        {"37", status(2, false, false), none, "receipt 000001 recorded: do not repeat it"},
        {"37", status(1, false, false), none, "no receipt was open: nothing recorded, nothing to repeat"},
        {"37", status(5, true, false), none, "receipt not recorded (still open): the close may be repeated"},
        {"36", status(5, false, false), none, "receipt cancelled: do not repeat the cancel"},
        {"36", status(5, true, true), none, "receipt not cancelled (still open): the cancel may be repeated"},
        // Z report: the day's sales are gone once it is recorded
        {"61", status(5, false, false, false), none,
         "daily report recorded (the day is closed): do not repeat it"},
        {"61", status(5, false, false, true), none,
         "daily report not recorded (the day still has sales): it may be repeated"},
        // the status unread, short or damaged
        {"34", none, none, "the printer did not give its status either: check the paper before repeating"},
        {"61", status(5, false, false).left(40), none,
         "the printer did not give its status either: check the paper before repeating"},
        {"34", QByteArray(status(5, false, false)).replace(S::ReceiptNo.offset, 1, "x"), none,
         "the printer did not give its status either: check the paper before repeating"},
        // not a document's end: no note
        {"31", status(5, true, false), none, ""},
        {"41", none, none, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lostanswer::closesDocument(c.code), *c.note != '\0') << c.code;
        EXPECT_EQ(lostanswer::noteText(c.code, c.now, c.before, {}).toStdString(), c.note)
            << c.code << " " << c.now.toStdString();
    }
    // The language library's text wins, with the receipt number filled in.
    const auto polish = [](int id) {
        return id == 19120 ? QStringLiteral("paragon %s zapisany") : QString();
    };
    EXPECT_EQ(lostanswer::noteText("34", status(124, false, false), none, polish),
              QStringLiteral("paragon 000123 zapisany"));
}

struct LostAnswerOnVirtualPrinter : VirtualPrinterTest {
    void sellAndOpenPayment() {
        run(protocol::cmd::cmSetVatRate,
            {dev::Arg::integer(2300), dev::Arg::integer(800), dev::Arg::integer(500), dev::Arg::integer(9999),
             dev::Arg::integer(9999), dev::Arg::integer(9999), dev::Arg::integer(9999),
             dev::Arg::integer(9999), dev::Arg::integer(9999), dev::Arg::text1250(QString())});
        click("bbtnSale");
        find<QLineEdit>("edName")->setText(QStringLiteral("Chleb"));
        find<QDoubleSpinBox>("edPrice")->setValue(4.0);
        find<QComboBox>("cbDepId")->setCurrentText(QStringLiteral("A"));
        find<QDoubleSpinBox>("edQty")->setValue(1);
        click("btnSaleItem");
        click("btnSaleOK");
        expectNoBoxes("sale");
        ASSERT_EQ(form->currentPage(), PageId::Pay);
        find<QLineEdit>("CashEdit")->setText(QStringLiteral("4.00"));
    }
    QString statusBar() { return find<QStatusBar>("StatusBar1")->currentMessage(); }
    ReturnBufferModel& buffer() { return *form->context().returnBuffer; }
    QString lastLine(int fromEnd = 0) { return buffer().lineAt(buffer().rowCount() - 1 - fromEnd); }
    // The one box shown since the last check must be the Time Out error.
    void expectTimeOutBox() {
        ASSERT_EQ(messages.boxes.size(), 1U);
        EXPECT_EQ(messages.boxes[0].text, dev::DeviceErrorText(-3, 0));
        EXPECT_EQ(messages.boxes[0].icon, IMessageService::Icon::Error);
        messages.clear();
    }
};

TEST_F(LostAnswerOnVirtualPrinter, LostAnswerSaysTheReceiptIsRecorded) {
    sellAndOpenPayment();
    ASSERT_EQ(user->setFault("lost_answers", "1"), 0);
    const int before = buffer().rowCount();
    click("btnPay");
    expectTimeOutBox();
    const QString note = QStringLiteral("receipt 000001 recorded: do not repeat it");
    EXPECT_EQ(statusBar().toStdString(), note.toStdString());
    EXPECT_EQ(lastLine().toStdString(), note.toStdString());
    // After the payment (no answer): the software status read through the
    // frame, as any answer (heading, column heading, its dump), then the note.
    const QByteArray read = form->context().lastSoftwareStatus;
    ASSERT_EQ(read.size(), S::layout.size);
    EXPECT_EQ(read.mid(S::ReceiptNo.offset, S::ReceiptNo.width), "000002");
    EXPECT_EQ(read[S::ReceiptNotClosed.offset], '0');
    ASSERT_EQ(buffer().rowCount() - before, 6);
    QByteArray dumped;
    for (int row = before + 2; row < before + 5; ++row)
        dumped += buffer().lineAt(row).section(QStringLiteral(" | "), 1).toLatin1();
    EXPECT_EQ(dumped, read);

    // The printer has it: the next receipt is 2.
    const QByteArray next = run(protocol::cmd::cmSoftwareStatus);
    expectNoBoxes("status after");
    EXPECT_EQ(next.mid(S::ReceiptNo.offset, S::ReceiptNo.width), "000002");

    // The Z report (the menu's button) loses its answer too: the day is closed.
    ASSERT_EQ(user->setFault("lost_answers", "1"), 0);
    QAbstractButton* z = form->context().menu.button(MenuCommand::ZReport);
    ASSERT_NE(z, nullptr);
    z->click();
    expectTimeOutBox();
    const QString closed = QStringLiteral("daily report recorded (the day is closed): do not repeat it");
    EXPECT_EQ(statusBar().toStdString(), closed.toStdString());
    EXPECT_EQ(lastLine().toStdString(), closed.toStdString());
}

TEST_F(LostAnswerOnVirtualPrinter, TimeOutSaysNotRecordedAndTheRepeatGoesThrough) {
    sellAndOpenPayment();
    ASSERT_EQ(user->setFault("timeouts", "1"), 0);
    click("btnPay");
    expectTimeOutBox();
    const QString note = QStringLiteral("receipt not recorded (still open): the payment may be repeated");
    EXPECT_EQ(statusBar().toStdString(), note.toStdString());
    EXPECT_EQ(lastLine().toStdString(), note.toStdString());
    ASSERT_EQ(form->currentPage(), PageId::Pay);

    // The repeat is recorded and runs no extra command: no note after it.
    const int rows = buffer().rowCount();
    click("btnPay");
    expectNoBoxes("repeated payment");
    EXPECT_NE(lastLine(), note);
    const QByteArray next = run(protocol::cmd::cmSoftwareStatus);
    EXPECT_EQ(next.mid(S::ReceiptNo.offset, S::ReceiptNo.width), "000002");
    EXPECT_GT(buffer().rowCount(), rows);

    // A Z report that never reached the printer: the day still has its sale.
    ASSERT_EQ(user->setFault("timeouts", "1"), 0);
    form->context().menu.button(MenuCommand::ZReport)->click();
    expectTimeOutBox();
    EXPECT_EQ(statusBar().toStdString(),
              "daily report not recorded (the day still has sales): it may be repeated");
}

struct LostAnswerInPolish : LostAnswerOnVirtualPrinter {
    LostAnswerInPolish() { withLanguage = true; }
};

TEST_F(LostAnswerInPolish, TheNoteComesFromTheLanguageLibrary) {
    sellAndOpenPayment();
    ASSERT_EQ(user->setFault("lost_answers", "1"), 0);
    click("btnPay");
    ASSERT_EQ(messages.boxes.size(), 1U);
    messages.clear();
    const QString note = QStringLiteral("paragon 000001 zapisany: nie powtarzaj go");
    EXPECT_EQ(statusBar().toStdString(), note.toStdString());
    EXPECT_EQ(lastLine().toStdString(), note.toStdString());
}

} // namespace
