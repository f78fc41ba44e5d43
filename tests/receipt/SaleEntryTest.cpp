// What the operator enters on the sale, pay and report pages, and what is sent:
// a price remembered from the article file only while it stands, names holding
// the sale list's "---", the system number's key filter and the report fields.

#include "TestWindow.h"

#include "core/EntryRules.h"
#include "receipt/InvInfoPage.h"
#include "receipt/SalePage.h"
#include "receipt/UpRtnPkgPage.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTest>

#include <functional>

using dev::Arg;
using dev::Args;

namespace {

struct SaleEntry : ::testing::Test {
    SaleEntry() { QLocale::setDefault(QLocale::c()); }
    ~SaleEntry() override { QLocale::setDefault(QLocale::system()); }

    TestWindow w;
    SalePage* sale() { return static_cast<SalePage*>(w.form->page(PageId::Sale)); }
    QDoubleSpinBox* price() { return w.find<QDoubleSpinBox>("edPrice"); }
    void loadPlu(const QByteArray& content) {
        const QString path = w.dir.filePath(QStringLiteral("shop.plu"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        static_cast<UpRtnPkgPage*>(w.form->page(PageId::UpRtnPkg))->choosePluFile = [path](const QString&) {
            return path;
        };
        w.click(QStringLiteral("bbtnLoadPlu"));
    }
    // The article of the file, as the barcode field's exit fills it in.
    void fromFile(const char* barcode) {
        w.find<QLineEdit>("edBarcode")->setText(QString::fromLatin1(barcode));
        sale()->edBarcodeExit();
    }
    void typePrice(const char* text) {
        price()->selectAll();
        QTest::keyClicks(price(), QString::fromLatin1(text));
    }
    void fillByHand(const QString& name, const QString& unit, const QString& barcode) {
        w.find<QLineEdit>("edName")->setText(name);
        w.find<QLineEdit>("edUnit")->setText(unit);
        w.find<QLineEdit>("edBarcode")->setText(barcode);
        w.find<QComboBox>("cbDepId")->setCurrentIndex(0);
    }
};

} // namespace

// A file price of 2.125 shows as 2.13; it is sent whole only while it stands.
TEST_F(SaleEntry, APriceFromTheFileIsSentWholeOnlyWhileItStands) {
    const struct {
        const char* name;
        std::function<void(SaleEntry&)> enter;
        double sent;
        const char* listed;
    } cases[] = {
        {"the file's price", [](SaleEntry& t) { t.fromFile("111"); }, 2.125, "2.125"},
        {"typed after the last sale", [](SaleEntry& t) { t.typePrice("2.13"); }, 2.13, "2.13"},
        {"the same figure typed over the file's price",
         [](SaleEntry& t) {
             t.fromFile("111");
             t.typePrice("2.13");
         },
         2.13, "2.13"},
        {"the same figure pasted over the file's price",
         [](SaleEntry& t) {
             t.fromFile("111");
             auto* text = t.price()->findChild<QLineEdit*>();
             text->selectAll();
             QApplication::clipboard()->setText(QStringLiteral("2.13"));
             text->paste();
         },
         2.13, "2.13"},
        {"stepped up and back by hand",
         [](SaleEntry& t) {
             t.fromFile("111");
             t.price()->stepUp();
             t.price()->stepDown();
         },
         2.13, "2.13"},
        {"an unknown barcode after the file's price, then the figure typed",
         [](SaleEntry& t) {
             t.fromFile("111");
             t.fromFile("999");
             EXPECT_EQ(t.price()->value(), 0.0);
             t.typePrice("2.13");
         },
         2.13, "2.13"},
        {"another article's price", [](SaleEntry& t) { t.fromFile("222"); }, 0.005, "0.005"},
    };
    loadPlu("Jam\t111\tszt\t2.125\tA\t0\r\nPin\t222\tszt\t0.005\tA\t0\r\n");
    w.click(QStringLiteral("bbtnSale"));
    // Each case begins after an accepted sale of the file's article at 2.125.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fromFile("111");
        w.click(QStringLiteral("btnSaleItem"));
        ASSERT_EQ(w.user.lastCommand()->args[2], Arg::real(2.125));
        EXPECT_EQ(price()->value(), 0.0) << "the price field is reset after a sale";

        c.enter(*this);
        fillByHand(w.find<QLineEdit>("edName")->text().isEmpty() ? QStringLiteral("Jam")
                                                                 : w.find<QLineEdit>("edName")->text(),
                   QStringLiteral("szt"), QStringLiteral("111"));
        w.click(QStringLiteral("btnSaleItem"));
        ASSERT_EQ(w.user.lastCommand()->function, "cmSaleItem");
        EXPECT_EQ(w.user.lastCommand()->args[2], Arg::real(c.sent));
        EXPECT_EQ(SplitText(sale()->saleLines().last(), saleline::kSeparator).at(saleline::kPrice),
                  QString::fromLatin1(c.listed));
    }
}

// Nothing splits a sale line: a name, unit or barcode holding "---" is sold,
// listed, discounted, set aside, taken up and cancelled as typed.
TEST_F(SaleEntry, TextsHoldingTheListSeparatorAreSoldAndCancelledAsTyped) {
    const QString name = QStringLiteral("Milk---1L"), unit = QStringLiteral("l---"),
                  barcode = QStringLiteral("59---01");
    w.messages.clear(); // start-up boxes (no language library)
    w.click(QStringLiteral("bbtnSale"));
    fillByHand(name, unit, barcode);
    price()->setValue(3);
    w.find<QDoubleSpinBox>("edQty")->setValue(2);
    w.click(QStringLiteral("btnSaleItem"));
    const Args sold{
        Arg::real(2),        Arg::text1250(unit), Arg::real(3), Arg::text1250(QStringLiteral("01")),
        Arg::text1250(name), Arg::integer(0),     Arg::real(0)};
    ASSERT_EQ(w.user.lastCommand()->function, "cmSaleItem");
    EXPECT_EQ(w.user.lastCommand()->args, sold);
    EXPECT_TRUE(w.messages.boxes.empty());
    EXPECT_EQ(sale()->saleLines(),
              QStringList{QStringLiteral("2.000---l------3.00---A---Milk---1L---6---0.00---59---01---0")});
    // The typed line's nine fields, whatever the list's text.
    const SaleLine& line = sale()->receipt().lines().front();
    EXPECT_EQ(line.name, name);
    EXPECT_EQ(line.unit, unit);
    EXPECT_EQ(line.barcode, barcode);

    w.find<QRadioButton>("rbDiscAmt2")->click();
    w.find<QLineEdit>("edDiscRate")->setText(QStringLiteral("1"));
    w.click(QStringLiteral("bbtnDiscount"));
    EXPECT_EQ(sale()->saleLines(),
              QStringList{QStringLiteral("2.000---l------3.00---A---Milk---1L---5---0.00---59---01---1")});

    auto* inv = static_cast<InvInfoPage*>(w.form->page(PageId::InvInfo));
    inv->btnPostponeClick(true);
    EXPECT_TRUE(sale()->saleLines().isEmpty());
    w.find<QComboBox>("cbRecNo")->setCurrentIndex(0);
    inv->btnExecCancelPostponeClick();
    ASSERT_EQ(sale()->receipt().lines().size(), 1u);
    EXPECT_EQ(sale()->receipt().lines().front().name, name);

    auto* list = w.find<QListView>("SaleList");
    list->setCurrentIndex(list->model()->index(0, 0));
    w.click(QStringLiteral("btnCancelItem"));
    ASSERT_EQ(w.user.lastCommand()->function, "cmCancelItem");
    EXPECT_EQ(w.user.lastCommand()->args, sold);
    EXPECT_TRUE(sale()->saleLines().isEmpty());
}

// The system number keeps digits and "-" of whatever is typed or pasted.
TEST_F(SaleEntry, SystemNumberDropsOnlyTheCharactersItCannotTake) {
    w.form->show();
    QApplication::setActiveWindow(w.form.get());
    w.form->showPage(PageId::Pay);
    auto* number = w.find<QLineEdit>("edSystemNumber");
    const struct {
        const char* start;
        int caret;
        const char* pasted; // nullptr: typed
        const char* typed;
        const char* kept;
    } cases[] = {
        {"", 0, "12a-34 b/5", nullptr, "12-345"},
        {"", 0, "abc", nullptr, ""},
        {"12", 1, "x9-y", nullptr, "19-2"},
        {"", 0, nullptr, "1a-2.3 ", "1-23"},
        {"1-23", 4, nullptr, "\b\b4", "1-4"},
        {"12 x", 4, nullptr, "5", "12 x5"}, // what the program put in stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pasted ? c.pasted : c.typed));
        number->setText(QString::fromLatin1(c.start));
        number->setCursorPosition(c.caret);
        if (c.pasted) {
            QApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
            number->paste();
        } else {
            for (const char* k = c.typed; *k; ++k) {
                if (*k == '\b')
                    QTest::keyClick(number, Qt::Key_Backspace);
                else
                    QTest::keyClicks(number, QString(QLatin1Char(*k)));
            }
        }
        EXPECT_EQ(number->text(), QString::fromLatin1(c.kept));
    }
    number->setText(QStringLiteral("12-345"));
    w.click(QStringLiteral("btnSetSysNum"));
    ASSERT_EQ(w.user.lastCommand()->function, "cmSetSysNum");
    EXPECT_EQ(w.user.lastCommand()->args, Args{Arg::text1250(QStringLiteral("12-345          "))});
}

// The report pages' fields: the Z numbers take any text and send a number or 0;
// month and year are masked to their digits; what is sent stays the same.
TEST_F(SaleEntry, ReportFieldsTakeTheirTextsAndSendTheirNumbers) {
    const struct {
        const char* field;
        const char* typed;
        const char* text;    // text() afterwards
        const char* display; // what the field shows
    } fields[] = {
        {"edZNo1", "1a2b3", "1a2b", "1a2b"}, {"edZNo2", "x", "x", "x"},
        {"Edit4", "12345", "1234", "1234"},  {"Edit5", "ab", "ab", "ab"},
        {"edMonth", "1a2b3", "12", "12"},    {"edMonth", "7", "7", "7_"},
        {"edYear", "20x26", "2026", "2026"}, {"edYear", "", "", "____"},
        {"MaskEdit1", "0", "0", "0_"},       {"MaskEdit2", "2031x", "2031", "2031"},
    };
    w.form->showPage(PageId::ReadOnlyReport);
    w.find<QRadioButton>("RadioButton1")->click(); // Edit4 and Edit5 writable
    w.find<QLineEdit>("MaskEdit1")->setReadOnly(false);
    w.find<QLineEdit>("MaskEdit2")->setReadOnly(false);
    for (const auto& f : fields) {
        SCOPED_TRACE(std::string(f.field) + " <- " + f.typed);
        auto* edit = w.find<QLineEdit>(QString::fromLatin1(f.field));
        edit->clear();
        edit->setCursorPosition(0);
        QTest::keyClicks(edit, QString::fromLatin1(f.typed));
        EXPECT_EQ(edit->text(), QString::fromLatin1(f.text));
        EXPECT_EQ(edit->displayText(), QString::fromLatin1(f.display));
    }

    // A Z number that is not a number is sent as 0; the monthly report sends the
    // month and the year less 2000, as before.
    w.click(QStringLiteral("bbtnMemReport"));
    w.find<QLineEdit>("edZNo1")->setText(QStringLiteral("1a"));
    w.find<QLineEdit>("edZNo2")->setText(QStringLiteral("0042"));
    w.click(QStringLiteral("bbtnZNoReport"));
    EXPECT_EQ(w.user.lastCommand()->args, (Args{Arg::integer(0), Arg::integer(0), Arg::integer(42)}));
    const QDate today = QDate::currentDate();
    EXPECT_EQ(w.find<QLineEdit>("edMonth")->text(),
              QStringLiteral("%1").arg(today.month(), 2, 10, QChar('0')));
    w.click(QStringLiteral("bbtnMonthlyReport"));
    EXPECT_EQ(w.user.lastCommand()->args,
              (Args{Arg::integer(0), Arg::integer(today.month()), Arg::integer(today.year() - 2000)}));
    w.find<QLineEdit>("edMonth")->setText(QStringLiteral("3"));
    w.click(QStringLiteral("bbtnMonthlyReport"));
    EXPECT_EQ(w.user.lastCommand()->args[1], Arg::integer(3));

    w.form->showPage(PageId::ReadOnlyReport);
    w.find<QRadioButton>("RadioButton3")->click();
    w.find<QLineEdit>("MaskEdit1")->setText(QStringLiteral("12"));
    w.find<QLineEdit>("MaskEdit2")->setText(QStringLiteral("2031"));
    w.click(QStringLiteral("bbtnMonthlyReport1"));
    EXPECT_EQ(w.user.lastCommand()->args, (Args{Arg::integer(0), Arg::integer(12), Arg::integer(31)}));
}
