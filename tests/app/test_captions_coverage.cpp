// Every control the language library gives a caption to exists on the window
// under that name, so no caption is silently left in English; and the system
// number set from the payment page.
#include "TestWindow.h"
#include "app/LocalisedCaptions.h"

#include "core/Page.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

TEST(Captions, EveryNamedControlExists) {
    TestWindow w;
    // The pages no control leads to ("Invoice", "XReport", "PrnRpt") are left
    // empty, so their captions have no control to go to.
    const QStringList unplaced = {
        "BitBtn1",         "BitBtn21",          "BitBtn22", "gbNormal",       "Label58",
        "Label66",         "Label71",           "Label73",  "gbReceipt",      "rbReceipt1",
        "rbReceipt2",      "Label99",           "Label101", "Label103",       "gbExpDoc",
        "rbExpDoc1",       "rbExpDoc2",         "Label87",  "Label89",        "Label91",
        "gbDplSale",       "Label79",           "Label81",  "Label83",        "gbWaybill",
        "rbWaybill1",      "rbWaybill2",        "Label85",  "gbGiftCert",     "Label93",
        "Label95",         "gbOrdRecp",         "Label97",  "gbCancel",       "Label75",
        "Label77",         "gbGuarantee",       "Label72",  "rbReportPrint1", "rbReportPrint2",
        "bbtnExecXReport", "bbtnExecDepReport", "Label3",   "Label10",        "Label11",
        "Label12",         "Label13",           "Label14",  "Label15",        "Label16",
        "Label17",         "Label18",           "Label19",  "Label20",        "Label21",
        "Label22",         "Label24",           "BitBtn23", "btnPrnRpt",      "Label25",
        "Label26"};
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
    w.form->showPage(PageId::Pay);
    edit->setFocus();
    QTest::keyClicks(edit, "12a-3 4");
    EXPECT_EQ(edit->text(), "12-34");
    w.click("btnSetSysNum");
    const auto* call = w.user.lastCommand();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->function, "cmSetSysNum");
    ASSERT_EQ(call->args.size(), 1u);
    EXPECT_EQ(call->args[0], dev::Arg::bytes("12-34           "));
    EXPECT_EQ(w.form->currentPage(), PageId::Pay);
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
    EXPECT_EQ(w.form->currentPage(), PageId::PluInfo);
}

namespace {
// The width a control's caption needs to be read in full, with the control's
// own font; 0 when the control shows no caption of its own.
int neededWidth(const QWidget* w, QString* text) {
    const QFontMetrics fm(w->font());
    const auto widest = [&fm](const QString& t) {
        int widest = 0;
        for (const QString& line : t.split(QLatin1Char('\n')))
            widest = std::max(widest, fm.horizontalAdvance(QString(line).remove(QLatin1Char('&'))));
        return widest;
    };
    const bool check = qobject_cast<const QCheckBox*>(w);
    if (check || qobject_cast<const QRadioButton*>(w)) {
        // The indicator, the gap after it, then the text.
        const auto* b = static_cast<const QAbstractButton*>(w);
        *text = b->text();
        const QStyle* style = b->style();
        const int indicator = style->pixelMetric(
            check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth, nullptr, b);
        const int gap = style->pixelMetric(
            check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing, nullptr, b);
        return b->text().isEmpty() ? 0 : indicator + gap + widest(b->text()) + 2;
    }
    if (auto* b = qobject_cast<const QPushButton*>(w)) {
        *text = b->text();
        return b->text().isEmpty() ? 0 : widest(b->text()) + 8; // the button's frame and a little air
    }
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        *text = l->text();
        if (l->text().isEmpty() || l->wordWrap() || l->textFormat() == Qt::RichText)
            return 0;
        return widest(l->text()) + (l->width() - l->contentsRect().width());
    }
    if (auto* g = qobject_cast<const QGroupBox*>(w)) {
        *text = g->title();
        return g->title().isEmpty() ? 0 : widest(g->title()) + 16; // the title's inset from the frame
    }
    return 0;
}
} // namespace

// Every caption is readable in full at the window's sizes, in English and with
// the Polish language library, measured with the fonts the console maps its
// layout's fonts to (Liberation Sans for "Arial CE").
TEST(Captions, EveryCaptionFitsItsControl) {
    for (const bool polish : {false, true}) {
        TestWindow w(polish);
        ASSERT_EQ(QFontInfo(w.form->font()).family(), QStringLiteral("Liberation Sans"));
        w.form->show();
        QStringList cut;
        const auto check = [&](QWidget* control) {
            QString text;
            const int needed = neededWidth(control, &text);
            if (needed > control->width())
                cut << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                           .arg(control->objectName(), text)
                           .arg(needed)
                           .arg(control->width());
        };
        for (int page = 0; page < w.form->notebook()->count(); ++page) {
            w.form->showPage(static_cast<PageId>(page));
            QCoreApplication::processEvents();
            for (QWidget* control : w.form->page(static_cast<PageId>(page))->findChildren<QWidget*>())
                check(control);
        }
        for (const char* name :
             {"Label1", "Button3", "UpdateProgramBtn", "btnUpdateFullProgram", "GroupBox3"})
            check(w.find<QWidget>(QString::fromLatin1(name)));
        EXPECT_TRUE(cut.isEmpty()) << (polish ? "Polish: " : "English: ") << cut.size() << " cut:\n"
                                   << cut.join(QLatin1Char('\n')).toStdString();
    }
}

// Controls named and coloured as on the window.
TEST(Captions, NamesAndColoursOfTheirPages) {
    TestWindow w;
    struct Named {
        PageId page;
        const char* name;
        const char* caption;
    };
    const Named named[] = {{PageId::TaxRateUpload, "BitBtn12", "Back To Menu"},
                           {PageId::PrinterSpeed, "BitBtn19", "Back To Menu"},
                           {PageId::PluInfo, "btnExecPluUpload", "Upload"},
                           {PageId::Menu, "Label3D1", "PLU UPLOADING..."}};
    for (const Named& n : named) {
        QWidget* control = w.form->page(n.page)->findChild<QWidget*>(QString::fromLatin1(n.name));
        ASSERT_NE(control, nullptr) << n.name;
        const auto* button = qobject_cast<QAbstractButton*>(control);
        const auto* label = qobject_cast<QLabel*>(control);
        EXPECT_EQ(button  ? button->text()
                  : label ? label->text()
                          : QString(),
                  QString::fromLatin1(n.caption))
            << n.name;
        EXPECT_EQ(w.form->findChildren<QWidget*>(QString::fromLatin1(n.name)).size(), 1) << n.name;
    }
    EXPECT_EQ(w.find<QWidget>("Label3D1")->parentWidget(), w.find<QWidget>("pnlProgress"));

    // The package total is painted green (0, 128, 0), not lime.
    w.form->show();
    w.form->showPage(PageId::RtnPackage);
    QCoreApplication::processEvents();
    auto* total = w.find<QLineEdit>("edTotal3");
    const QImage picture = total->grab().toImage();
    EXPECT_EQ(picture.pixelColor(4, picture.height() / 2), QColor(0, 128, 0));
}
