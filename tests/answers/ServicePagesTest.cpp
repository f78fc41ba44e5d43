// Memory dumps, the ECR reset and the command line.

#include "TestWindow.h"
#include "answers/DumpEpromPage.h"
#include "answers/DumpSramPage.h"
#include "answers/EcrResetPage.h"
#include "core/ReturnBufferModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

using dev::Arg;

TEST(DumpAddress, HexadecimalWithBlanksAndFallbackZero) {
    EXPECT_EQ(answers::ParseHexAddress("  1a2b "), 0x1A2B);
    EXPECT_EQ(answers::ParseHexAddress("FFFFF"), 1048575);
    EXPECT_EQ(answers::ParseHexAddress(""), 0);
    EXPECT_EQ(answers::ParseHexAddress("12G"), 0);
    EXPECT_EQ(answers::ParseHexAddress("0x12"), 0);
    EXPECT_EQ(answers::ParseHexAddress("-1"), 0);
    EXPECT_EQ(answers::ParseHexAddress("1 2"), 0);
}

TEST(Dumps, SramEpromAndRomSendTheAddress) {
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    static_cast<DumpSramPage*>(w.form->page(PageId::DumpSram))->bbtnDumpSramClick();
    EXPECT_EQ(w.form->currentPage(), PageId::DumpSram);
    w.find<QLineEdit>("edSRamAddr")->setText(" 1a2b ");
    w.click("btnExecDumpSRam");
    ASSERT_NE(w.user.lastCommand(), nullptr);
    EXPECT_EQ(w.user.lastCommand()->function, "cmSRAMDump");
    EXPECT_EQ(w.user.lastCommand()->args, dev::Args{Arg::integer(6699)});
    EXPECT_EQ(w.find<QLineEdit>("edSRamAddr")->maxLength(), 5);

    // The hidden menu buttons: ROM is bound, SRAM and EPROM are not.
    w.form->showPage(PageId::Menu);
    w.click("bbtnDumpSram");
    EXPECT_EQ(w.form->currentPage(), PageId::Menu);
    w.find<QLineEdit>("edEPRomAddr")->setText("99");
    w.click("bbtnDumpRom");
    EXPECT_EQ(w.form->currentPage(), PageId::DumpEprom);
    EXPECT_EQ(w.find<QLineEdit>("edEPRomAddr")->text(), "");
    auto* eprom = w.find<QPushButton>("btnExecDumpEprom");
    auto* rom = w.find<QPushButton>("btnExecDumpRom");
    const int epromX = eprom->x();
    EXPECT_TRUE(eprom->isHidden());
    EXPECT_FALSE(rom->isHidden());
    EXPECT_EQ(rom->x(), epromX);
    w.find<QLineEdit>("edEPRomAddr")->setText("FFFFF");
    w.click("btnExecDumpRom");
    EXPECT_EQ(w.user.lastCommand()->function, "cmROMDump");
    EXPECT_EQ(w.user.lastCommand()->args, dev::Args{Arg::integer(1048575)});

    static_cast<DumpEpromPage*>(w.form->page(PageId::DumpEprom))->bbtnDumpEpromClick();
    EXPECT_FALSE(eprom->isHidden());
    EXPECT_TRUE(rom->isHidden());
    EXPECT_EQ(eprom->x(), epromX);
    w.click("btnExecDumpEprom");
    EXPECT_EQ(w.user.lastCommand()->function, "cmEPROMDump");
    EXPECT_EQ(w.user.lastCommand()->args, dev::Args{Arg::integer(0)});
    EXPECT_EQ(w.form->currentPage(), PageId::DumpEprom);
}

TEST(EcrReset, OpeningFillsTheClockAndNoSendsNothing) {
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    auto* page = static_cast<EcrResetPage*>(w.form->page(PageId::EcrReset));
    w.click("bbtnTestSram");
    EXPECT_EQ(w.form->currentPage(), PageId::EcrReset);
    page->fillFrom(QDateTime(QDate(2026, 12, 7), QTime(23, 5, 9)));
    const int expected[] = {26, 12, 7, 23, 5, 9};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(w.find<QSpinBox>(QString("SpinEdit%1").arg(i + 1))->value(), expected[i]);

    w.messages.answers = {false};
    w.click("Button5");
    ASSERT_EQ(w.messages.boxes.size(), 1u);
    EXPECT_TRUE(w.messages.last()->question);
    EXPECT_EQ(w.messages.last()->caption, "Confirmation");
    EXPECT_EQ(w.messages.last()->icon, IMessageService::Icon::Question);
    EXPECT_EQ(w.messages.last()->text,
              "This Operation will erase the SRAM in Printer\n\r"
              "Are you sure to do this operation?UWAGA CZAS ORAZ DATA POBIERANE Z KOMPUTERA");
    EXPECT_TRUE(w.service.calls.empty()); // the link is not touched
    EXPECT_TRUE(w.user.calls.empty());
}

TEST(EcrReset, YesErasesThroughTheServiceLibraryDayFirst) {
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    static_cast<EcrResetPage*>(w.form->page(PageId::EcrReset))
        ->fillFrom(QDateTime(QDate(2026, 12, 7), QTime(23, 5, 9)));
    w.ctx().frame.EnsureLinkOpen(dev::Library::User);
    w.messages.answers = {true};
    w.click("Button5");
    ASSERT_NE(w.service.lastCommand(), nullptr);
    EXPECT_EQ(w.service.lastCommand()->function, "cmSRAMErase");
    const dev::Args expected{Arg::integer(7),  Arg::integer(12), Arg::integer(26),
                             Arg::integer(23), Arg::integer(5),  Arg::integer(9)};
    EXPECT_EQ(w.service.lastCommand()->args, expected);
    EXPECT_FALSE(w.ctx().frame.UserLinkOpen); // opening the service link closed the user link
    EXPECT_TRUE(w.ctx().frame.ServiceLinkOpen);
    EXPECT_EQ(w.form->currentPage(), PageId::Menu);
}

TEST(EcrReset, SpinFieldsKeepTheirRanges) {
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    auto* day = w.find<QSpinBox>("SpinEdit3");
    EXPECT_EQ(day->minimum(), 1);
    EXPECT_EQ(day->maximum(), 31);
    EXPECT_EQ(w.find<QSpinBox>("SpinEdit1")->maximum(), 99);
    EXPECT_EQ(w.find<QSpinBox>("SpinEdit2")->value(), 1);
    day->setValue(45);
    EXPECT_EQ(day->value(), 31);

    // A field left empty is its minimum, a number out of range the nearer
    // bound, when "ECR Reset" is clicked.
    static_cast<EcrResetPage*>(w.form->page(PageId::EcrReset))
        ->fillFrom(QDateTime(QDate(2026, 12, 7), QTime(23, 5, 9)));
    w.find<QSpinBox>("SpinEdit1")->findChild<QLineEdit*>()->clear();
    w.find<QSpinBox>("SpinEdit3")->findChild<QLineEdit*>()->clear();
    w.find<QSpinBox>("SpinEdit4")->findChild<QLineEdit*>()->setText(QStringLiteral("77"));
    w.messages.answers = {true};
    w.click("Button5");
    ASSERT_NE(w.service.lastCommand(), nullptr);
    const dev::Args expected{Arg::integer(1),  Arg::integer(12), Arg::integer(0),
                             Arg::integer(23), Arg::integer(5),  Arg::integer(9)};
    EXPECT_EQ(w.service.lastCommand()->args, expected);
}

TEST(EcrReset, LocalisedQuestionKeepsTheFixedNote) {
    const QString warning = "A\n\rB";
    EXPECT_EQ(answers::EcrResetQuestion(&warning), "A\n\rBUWAGA CZAS ORAZ DATA POBIERANE Z KOMPUTERA");
    TestWindow w(true);
    w.messages.clear(); // start-up boxes (no language library)
    w.messages.answers = {false};
    w.click("Button5");
    EXPECT_EQ(w.messages.last()->text, w.ctx().LocaleString(11372) + "\n\r" + w.ctx().LocaleString(11373) +
                                           "UWAGA CZAS ORAZ DATA POBIERANE Z KOMPUTERA");
    EXPECT_EQ(w.messages.last()->caption, w.ctx().LocaleString(11376));
}

TEST(CommandLine, TypedCodeDecodesLikeItsMenuCommand) {
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    QByteArray hw = QByteArray("O0ABC").leftJustified(62, '0');
    w.user.reply("ExecCommand", 0, 0, hw);
    w.form->showPage(PageId::CommandLine);
    auto* edit = w.find<QLineEdit>("Edit1");
    edit->setText("40");
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.user.count("GetReturnBufLength"), 1);
    ASSERT_EQ(w.user.count("ExecCommand"), 1); // one call, no sizing
    EXPECT_EQ(w.form->currentPage(), PageId::HStatus);
    EXPECT_EQ(w.find<QLabel>("lbIDCode")->text(), "ABC");
    EXPECT_EQ(edit->text(), "40");
}

TEST(CommandLine, OneCharacterIsEmptiedAndStillSent) {
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    w.form->showPage(PageId::CommandLine);
    w.find<QLineEdit>("Edit1")->setText("4");
    w.click("bbtnExec");
    EXPECT_EQ(w.find<QLineEdit>("Edit1")->text(), "");
    EXPECT_EQ(w.user.count("ExecCommand"), 1);
    EXPECT_EQ(w.form->currentPage(), PageId::CommandLine);
    // A refusal: the error box, the page stays.
    w.user.reply("ExecCommand", -1, 0);
    w.find<QLineEdit>("Edit1")->setText("47");
    w.click("bbtnExec");
    EXPECT_EQ(w.messages.last()->caption, "Error");
    EXPECT_EQ(w.form->currentPage(), PageId::CommandLine);
    EXPECT_EQ(w.find<QLineEdit>("Edit1")->maxLength(), 32767);
}
