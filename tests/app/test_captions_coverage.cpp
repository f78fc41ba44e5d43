// Every control the language library gives a caption to exists on the window
// under that name, so no caption is silently left in English; and the system
// number set from the payment page.
#include "TestWindow.h"
#include "app/LocalisedCaptions.h"

#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

TEST(Captions, EveryNamedControlExists) {
    TestWindow w;
    // The pages no control leads to ("Invoice", "XReport", "PrnRpt") are left
    // empty, so their captions have no control to go to.
    const QStringList unplaced = {
        "BitBtn1",        "BitBtn12",        "BitBtn21",          "BitBtn22", "gbNormal",
        "Label58",        "Label66",         "Label71",           "Label73",  "gbReceipt",
        "rbReceipt1",     "rbReceipt2",      "Label99",           "Label101", "Label103",
        "gbExpDoc",       "rbExpDoc1",       "rbExpDoc2",         "Label87",  "Label89",
        "Label91",        "gbDplSale",       "Label79",           "Label81",  "Label83",
        "gbWaybill",      "rbWaybill1",      "rbWaybill2",        "Label85",  "gbGiftCert",
        "Label93",        "Label95",         "gbOrdRecp",         "Label97",  "gbCancel",
        "Label75",        "Label77",         "gbGuarantee",       "Label72",  "rbReportPrint1",
        "rbReportPrint2", "bbtnExecXReport", "bbtnExecDepReport", "Label3",   "Label10",
        "Label11",        "Label12",         "Label13",           "Label14",  "Label15",
        "Label16",        "Label17",         "Label18",           "Label19",  "Label20",
        "Label21",        "Label22",         "Label24",           "BitBtn23", "btnPrnRpt",
        "Label25",        "Label26"};
    QStringList missing;
    for (const CaptionAssignment& a : LocalisedCaptionAssignments())
        for (const QString& name : a.objectNames)
            if (!unplaced.contains(name) && !w.form->findChild<QWidget*>(name))
                missing << QStringLiteral("%1 %2").arg(a.id).arg(name);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(", ").toStdString();
}

TEST(SystemNumber, DigitsAndDashPaddedTo16) {
    TestWindow w;
    auto* edit = w.find<QLineEdit>("edSystemNumber");
    w.form->show();
    w.form->showPage(9);
    edit->setFocus();
    QTest::keyClicks(edit, "12a-3 4");
    EXPECT_EQ(edit->text(), "12-34");
    w.click("btnSetSysNum");
    const auto* call = w.user.lastCommand();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->function, "cmSetSysNum");
    ASSERT_EQ(call->args.size(), 1u);
    EXPECT_EQ(call->args[0], dev::Arg::bytes("12-34           "));
    EXPECT_EQ(w.form->currentPage(), 9);
}

TEST(Captions, UploadedArticleGridHeadingsCarryNoPlaceholders) {
    TestWindow w(true);
    ASSERT_NE(w.ctx().locale, nullptr);
    QFile file(QStringLiteral("_Plu.mem"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(40, 'A') + QByteArray("\x08\x98\x27\x10\xff\xff\x00\x00\x00\x00\x00\x00", 12) +
               QByteArray(12, '\0'));
    file.close();
    w.ctx().ShowReturnBuffer("90", QByteArray());
    QFile::remove(QStringLiteral("_Plu.mem"));
    auto* grid = w.find<QTableView>("sgrdPlu");
    ASSERT_NE(grid->model(), nullptr);
    for (int column = 0; column < grid->model()->columnCount(); ++column) {
        const QString heading = grid->model()->headerData(column, Qt::Horizontal).toString();
        EXPECT_FALSE(heading.isEmpty()) << column;
        EXPECT_FALSE(heading.contains('%')) << heading.toStdString();
    }
    EXPECT_EQ(w.form->currentPage(), 26);
}
