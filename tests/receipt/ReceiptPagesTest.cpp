// The receipt pages on a scripted device: the arguments each handler sends and
// the local state after acceptance and after refusal.

#include "TestWindow.h"

#include "core/EntryRules.h"
#include "core/ExchangeRate.h"
#include "core/Page.h"
#include "programming/PluFile.h"
#include "receipt/EndReceiptPage.h"
#include "receipt/InvInfoPage.h"
#include "receipt/PayPage.h"
#include "receipt/SalePage.h"
#include "receipt/UpRtnPkgPage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using dev::Arg;
using dev::Args;

namespace {

void expectArgs(const ScriptedDevice::Call* call, const std::string& function, const Args& expected) {
    ASSERT_NE(call, nullptr) << "no call of " << function;
    EXPECT_EQ(call->function, function);
    ASSERT_EQ(call->args.size(), expected.size()) << function;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(call->args[i], expected[i]) << function << " argument " << i + 1 << ": "
                                              << call->args[i].describe() << " vs " << expected[i].describe();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ReceiptPages : ::testing::Test {
    ReceiptPages() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    ~ReceiptPages() override { QLocale::setDefault(QLocale::system()); }

    TestWindow w;
    SalePage* sale() { return static_cast<SalePage*>(w.form->page(PageId::Sale)); }
    PayPage* pay() { return static_cast<PayPage*>(w.form->page(PageId::Pay)); }
    QStringList lines() { return sale()->saleLines(); }
    QString total() { return w.find<QLineEdit>("edTotal")->text(); }
    void selectLine(int row) {
        auto* list = w.find<QListView>("SaleList");
        list->setCurrentIndex(list->model()->index(row, 0));
    }

    void enterItem(double qty, double price, const QString& unit, int tax, const QString& name,
                   const QString& barcode = QString(), double rtn = 0) {
        w.find<QDoubleSpinBox>("edQty")->setValue(qty);
        w.find<QDoubleSpinBox>("edPrice")->setValue(price);
        w.find<QDoubleSpinBox>("edRtnPrice")->setValue(rtn);
        w.find<QLineEdit>("edUnit")->setText(unit);
        w.find<QComboBox>("cbDepId")->setCurrentIndex(tax);
        w.find<QLineEdit>("edName")->setText(name);
        w.find<QLineEdit>("edBarcode")->setText(barcode);
    }
    void sell(double qty, double price, const QString& name = QStringLiteral("Milk"),
              const QString& barcode = QStringLiteral("123")) {
        enterItem(qty, price, QStringLiteral("szt"), 0, name, barcode);
        w.click(QStringLiteral("btnSaleItem"));
    }
    QString writePlu(const QByteArray& content) {
        const QString path = w.dir.filePath(QStringLiteral("shop.plu"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        static_cast<UpRtnPkgPage*>(w.form->page(PageId::UpRtnPkg))->choosePluFile = [path](const QString&) {
            return path;
        };
        w.click(QStringLiteral("bbtnLoadPlu"));
        EXPECT_EQ(w.ctx().plu.PluFileName, path);
        return path;
    }
};

TEST_F(ReceiptPages, SaleSendsItsArgumentsAndMirrorsTheAcceptedLine) {
    w.click(QStringLiteral("bbtnSale"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Sale);
    sell(2, 1.50);
    expectArgs(w.user.lastCommand(), "cmSaleItem",
               {Arg::real(2), Arg::text1250(QStringLiteral("szt")), Arg::real(1.5),
                Arg::text1250(QStringLiteral("01")), Arg::text1250(QStringLiteral("Milk")), Arg::integer(0),
                Arg::real(0)});
    EXPECT_EQ(lines(), QStringList{QStringLiteral("2.000---szt---1.50---A---Milk---3---0.00---123---0")});
    EXPECT_EQ(total(), QStringLiteral("3"));
    EXPECT_TRUE(sale()->receipt().open());
    EXPECT_FALSE(w.find<QPushButton>("BackBtn7")->isEnabled());
    EXPECT_TRUE(w.find<QLineEdit>("edName")->text().isEmpty());
    EXPECT_DOUBLE_EQ(w.find<QDoubleSpinBox>("edQty")->value(), 1);
    EXPECT_EQ(w.find<QComboBox>("cbDepId")->currentText(), QStringLiteral("A"));

    // A return package price sends flag 1 and counts in the line total.
    enterItem(3, 0.10, QStringLiteral("szt"), 2, QStringLiteral("Cup"), QString(), 0.05);
    w.click(QStringLiteral("btnSaleItem"));
    EXPECT_EQ(w.user.lastCommand()->args[5], Arg::integer(1));
    EXPECT_EQ(w.user.lastCommand()->args[3], Arg::text1250(QStringLiteral("03")));
    EXPECT_EQ(SplitText(lines().last(), saleline::kSeparator).at(5), QStringLiteral("0.45"));
    EXPECT_EQ(total(), QStringLiteral("3.45"));

    // Refused: the error box; nothing local changes, the fields stay as typed.
    w.user.reply("cmSaleItem", -1);
    enterItem(1, 9.99, QStringLiteral("kg"), 1, QStringLiteral("Tea"));
    w.click(QStringLiteral("btnSaleItem"));
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_EQ(w.messages.last()->icon, IMessageService::Icon::Error);
    EXPECT_EQ(lines().size(), 2);
    EXPECT_EQ(total(), QStringLiteral("3.45"));
    EXPECT_EQ(w.find<QLineEdit>("edName")->text(), QStringLiteral("Tea"));
}

TEST_F(ReceiptPages, SaleChecksPriceLimitBeforeSending) {
    w.click(QStringLiteral("bbtnSale"));
    enterItem(1, 1000000, QStringLiteral("szt"), 0, QStringLiteral("Gold"));
    w.click(QStringLiteral("btnSaleItem"));
    EXPECT_EQ(w.user.count("cmSaleItem"), 0);
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_TRUE(w.messages.last()->text.contains(QStringLiteral("999999.99")));
}

TEST_F(ReceiptPages, BarcodeLookupFillsTheItemFromTheArticleFile) {
    writePlu("Milk\t123\tszt\t1.50\tA\t0\r\nJuice\t555\tl\t4.20\tJ\t0\r\nShort\t9\tx\r\n");
    w.click(QStringLiteral("bbtnSale"));
    auto* barcode = w.find<QLineEdit>("edBarcode");
    barcode->setText(QStringLiteral("123"));
    sale()->edBarcodeExit();
    EXPECT_EQ(w.find<QLineEdit>("edName")->text(), QStringLiteral("Milk"));
    EXPECT_DOUBLE_EQ(w.find<QDoubleSpinBox>("edPrice")->value(), 1.5);
    EXPECT_EQ(w.find<QLineEdit>("edUnit")->text(), QStringLiteral("szt"));
    EXPECT_EQ(w.find<QComboBox>("cbDepId")->currentText(), QStringLiteral("A"));

    // An unknown VAT letter: the message names it and the tax choice stays.
    w.find<QComboBox>("cbDepId")->setCurrentIndex(1);
    barcode->setText(QStringLiteral("555"));
    sale()->edBarcodeExit();
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_TRUE(w.messages.last()->text.contains(QStringLiteral("J")));
    EXPECT_EQ(w.find<QComboBox>("cbDepId")->currentText(), QStringLiteral("B"));

    // Unknown barcode: the item fields are emptied and the quantity is 1.
    w.find<QDoubleSpinBox>("edQty")->setValue(5);
    barcode->setText(QStringLiteral("777"));
    sale()->edBarcodeExit();
    EXPECT_TRUE(w.find<QLineEdit>("edName")->text().isEmpty());
    EXPECT_EQ(w.find<QComboBox>("cbDepId")->currentIndex(), -1);
    EXPECT_DOUBLE_EQ(w.find<QDoubleSpinBox>("edQty")->value(), 1);

    // A line too short to fill the item: a message, nothing filled.
    const std::size_t boxes = w.messages.boxes.size();
    barcode->setText(QStringLiteral("9"));
    sale()->edBarcodeExit();
    EXPECT_EQ(w.messages.boxes.size(), boxes + 1);
    EXPECT_TRUE(w.find<QLineEdit>("edName")->text().isEmpty());
}

TEST_F(ReceiptPages, BarcodeLookupRunsOnlyWhenTheOperatorMovesToAnotherControl) {
    writePlu("Milk\t123\tszt\t1.50\tA\t0\r\n");
    w.click(QStringLiteral("bbtnSale"));
    w.form->show();
    QApplication::setActiveWindow(w.form.get());
    auto* barcode = w.find<QLineEdit>("edBarcode");
    auto* name = w.find<QLineEdit>("edName");
    auto* tax = w.find<QComboBox>("cbDepId");
    tax->setCurrentIndex(0);
    name->setText(QStringLiteral("typed"));
    barcode->setFocus();
    ASSERT_TRUE(barcode->hasFocus());

    // Another window (a message box after a sale, another program) takes the focus: no lookup.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    EXPECT_EQ(name->text(), QStringLiteral("typed"));
    EXPECT_EQ(tax->currentText(), QStringLiteral("A"));
    QApplication::setActiveWindow(w.form.get());
    barcode->setFocus();

    // The operator moves to the next control: the article is filled in.
    QTest::keyClicks(barcode, "123");
    name->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(name->text(), QStringLiteral("Milk"));
}

TEST_F(ReceiptPages, TextsAndPricesFromTheProgramAreKeptWhole) {
    // An article file with a name and a unit longer than the fields' typing
    // limits and a price with three decimals.
    const QByteArray longName(52, 'N');
    writePlu(longName + "\t5901234567890\tlitre\t1.555\tA\t0\r\n");
    w.click(QStringLiteral("bbtnSale"));
    w.find<QLineEdit>("edBarcode")->setText(QStringLiteral("5901234567890"));
    sale()->edBarcodeExit();
    EXPECT_EQ(w.find<QLineEdit>("edName")->text(), QString::fromLatin1(longName));
    EXPECT_EQ(w.find<QLineEdit>("edUnit")->text(), QStringLiteral("litre"));
    w.click(QStringLiteral("btnSaleItem"));
    expectArgs(w.user.lastCommand(), "cmSaleItem",
               {Arg::real(1), Arg::text1250(QStringLiteral("litre")), Arg::real(1.555),
                Arg::text1250(QStringLiteral("01")), Arg::text1250(QString::fromLatin1(longName)),
                Arg::integer(0), Arg::real(0)});
    EXPECT_EQ(SplitText(lines().last(), saleline::kSeparator).at(saleline::kPrice), QStringLiteral("1.555"));
    // The cancel sends what the sale sent.
    selectLine(0);
    w.click(QStringLiteral("btnCancelItem"));
    EXPECT_EQ(w.user.lastCommand()->args[2], Arg::real(1.555));

    // A price the operator changes is the price shown.
    w.find<QLineEdit>("edBarcode")->setText(QStringLiteral("5901234567890"));
    sale()->edBarcodeExit();
    w.find<QDoubleSpinBox>("edPrice")->setValue(2.5);
    w.click(QStringLiteral("btnSaleItem"));
    EXPECT_EQ(w.user.lastCommand()->args[2], Arg::real(2.5));

    // The discount field keeps its text when "Rate" shortens the limit, and
    // typing cannot make it longer.
    auto* rate = w.find<QLineEdit>("edDiscRate");
    w.find<QRadioButton>("rbDiscAmt2")->click();
    rate->setText(QStringLiteral("123.45"));
    w.find<QRadioButton>("rbDiscAmt1")->click();
    EXPECT_EQ(rate->text(), QStringLiteral("123.45"));
    w.form->show();
    QApplication::setActiveWindow(w.form.get());
    rate->setFocus();
    rate->end(false);
    QTest::keyClicks(rate, "9");
    EXPECT_EQ(rate->text(), QStringLiteral("123.45"));
    QTest::keyClick(rate, Qt::Key_Backspace);
    QTest::keyClick(rate, Qt::Key_Backspace);
    QTest::keyClicks(rate, "77");
    EXPECT_EQ(rate->text(), QStringLiteral("123.7"));

    // A due amount of eleven characters fills the ten-character payment field whole.
    sale()->receipt().setAmountDue(QStringLiteral("10000000.01"));
    w.click(QStringLiteral("btnSaleOK"));
    ASSERT_EQ(w.ctx().nav.current(), PageId::Pay);
    auto* cash = w.find<QLineEdit>("CashEdit");
    EXPECT_EQ(cash->text(), QStringLiteral("10000000.01"));
    cash->selectAll();
    QTest::keyClicks(cash, "123456789012");
    EXPECT_EQ(cash->text(), QStringLiteral("1234567890"));
}

TEST_F(ReceiptPages, SaleCancelAndReceiptCancelKeepSoldQuantities) {
    const QString path = writePlu("Milk\t123\tszt\t1.50\tA\t0\r\nBread\t456\tszt\t2.00\tB\t1\r\n");
    w.click(QStringLiteral("bbtnSale"));
    sell(2, 1.50, QStringLiteral("Milk"), QStringLiteral("123"));
    EXPECT_EQ(fileBytes(path), "Milk\t123\tszt\t1.50\tA\t2\r\nBread\t456\tszt\t2.00\tB\t1\r\n");

    // Cancel the selected line: placeholders in the sizing call, the line's values in the real one.
    selectLine(0);
    w.user.clearCalls();
    w.click(QStringLiteral("btnCancelItem"));
    const auto withSizing = w.user.commands(true);
    ASSERT_EQ(withSizing.size(), 2u);
    expectArgs(&withSizing[0], "cmCancelItem",
               {Arg::real(0), Arg::text1250(QString()), Arg::real(0), Arg::text1250(QString()),
                Arg::text1250(QString()), Arg::integer(0), Arg::real(0)});
    expectArgs(&withSizing[1], "cmCancelItem",
               {Arg::real(2), Arg::text1250(QStringLiteral("szt")), Arg::real(1.5),
                Arg::text1250(QStringLiteral("01")), Arg::text1250(QStringLiteral("Milk")), Arg::integer(0),
                Arg::real(0)});
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(total(), QStringLiteral("0"));
    EXPECT_EQ(fileBytes(path), "Milk\t123\tszt\t1.50\tA\t0\r\nBread\t456\tszt\t2.00\tB\t1\r\n");

    // Nothing selected: nothing sent.
    sell(1, 2.0, QStringLiteral("Bread"), QStringLiteral("456"));
    auto* list = w.find<QListView>("SaleList");
    list->clearSelection();
    list->setCurrentIndex(QModelIndex());
    w.user.clearCalls();
    w.click(QStringLiteral("btnCancelItem"));
    EXPECT_EQ(w.user.count("cmCancelItem"), 0);

    // Refused cancel: list, total and file unchanged.
    selectLine(0);
    w.user.reply("cmCancelItem", -1);
    w.click(QStringLiteral("btnCancelItem"));
    EXPECT_EQ(lines().size(), 1);
    EXPECT_EQ(fileBytes(path), "Milk\t123\tszt\t1.50\tA\t0\r\nBread\t456\tszt\t2.00\tB\t2\r\n");

    // Receipt cancel gives every line's quantity back after acceptance.
    sell(3, 1.50, QStringLiteral("Milk"), QStringLiteral("123"));
    w.click(QStringLiteral("btnSaleVoid"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::EndReceipt);
    w.user.reply("cmReceiptCancel", -1);
    w.click(QStringLiteral("bbtnExecCancelRecp"));
    EXPECT_TRUE(sale()->receipt().open());
    w.user.reply("cmReceiptCancel", 0);
    w.click(QStringLiteral("bbtnExecCancelRecp"));
    expectArgs(w.user.lastCommand(), "cmReceiptCancel", {Arg::text1250(QString())});
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
    EXPECT_FALSE(sale()->receipt().open());
    EXPECT_EQ(fileBytes(path), "Milk\t123\tszt\t1.50\tA\t0\r\nBread\t456\tszt\t2.00\tB\t1\r\n");
    EXPECT_EQ(lines().size(), 2); // emptied by the next "Sale"
}

TEST_F(ReceiptPages, DiscountAndIncreaseSendCodesAndChangeTheLastLine) {
    w.click(QStringLiteral("bbtnSale"));
    sell(1, 20);
    w.find<QLineEdit>("edDiscRate")->setText(QStringLiteral("10"));
    w.click(QStringLiteral("bbtnDiscount"));
    expectArgs(w.user.lastCommand(), "cmDiscount",
               {Arg::integer(0), Arg::integer(1000), Arg::integer(1), Arg::integer(1)});
    EXPECT_EQ(lines().last(), QStringLiteral("1.000---szt---20.00---A---Milk---18---0.00---123---1"));
    EXPECT_EQ(total(), QStringLiteral("18"));
    EXPECT_FALSE(w.find<QPushButton>("bbtnDiscount")->isEnabled());
    EXPECT_FALSE(w.find<QPushButton>("btnCancelItem")->isEnabled());

    sell(1, 5);
    EXPECT_TRUE(w.find<QPushButton>("bbtnDiscount")->isEnabled());
    w.find<QRadioButton>("rbDiscCmd2")->click();
    w.find<QRadioButton>("rbDiscAmt2")->click();
    EXPECT_EQ(w.find<QLineEdit>("edDiscRate")->maxLength(), 10);
    EXPECT_TRUE(w.find<QLabel>("lbPercentMark")->isHidden());
    w.find<QLineEdit>("edDiscRate")->setText(QStringLiteral("2.50"));
    w.click(QStringLiteral("bbtnDiscount"));
    expectArgs(w.user.lastCommand(), "cmDiscount",
               {Arg::integer(2), Arg::integer(250), Arg::integer(0), Arg::integer(0)});
    EXPECT_EQ(SplitText(lines().last(), saleline::kSeparator).at(5), QStringLiteral("7.5"));
    EXPECT_EQ(total(), QStringLiteral("25.5"));

    // Sub-total by rate sends code 1 and 3 by fixed amount; a refusal changes nothing.
    sell(1, 5);
    w.find<QRadioButton>("rbDiscBase2")->click();
    w.user.reply("cmDiscount", -1);
    w.click(QStringLiteral("bbtnDiscount"));
    EXPECT_EQ(w.user.lastCommand()->args[0], Arg::integer(3));
    EXPECT_EQ(total(), QStringLiteral("30.5"));
    EXPECT_TRUE(w.find<QPushButton>("bbtnDiscount")->isEnabled());

    w.find<QRadioButton>("rbDiscAmt1")->click();
    EXPECT_EQ(w.find<QLineEdit>("edDiscRate")->maxLength(), 5);
    EXPECT_FALSE(w.find<QLabel>("lbPercentMark")->isHidden());
}

QByteArray exchangeAnswer(const char* due) {
    QByteArray a = "13PLNEUR0000004,123400AUSD0000000,250000B";
    a += due;
    return a;
}

TEST(ExchangeRate, ParsesOnlyWhatTheAnswerHolds) {
    const QLocale point(QLocale::English, QLocale::UnitedStates);
    ExchangeRateAnswer full = ParseExchangeRate(exchangeAnswer("0000001999"), point);
    EXPECT_EQ(full.amountDue, QStringLiteral("19.99"));
    EXPECT_EQ(full.currencies[0].code, QStringLiteral("PLN"));
    EXPECT_EQ(full.currencies[1].code, QStringLiteral("EUR"));
    EXPECT_EQ(full.currencies[1].rateText, QStringLiteral("4.123400"));
    EXPECT_DOUBLE_EQ(full.currencies[1].rate, 4.1234);
    EXPECT_EQ(full.currencies[1].mode, QStringLiteral("1"));
    EXPECT_EQ(full.currencies[2].rateText, QStringLiteral("0.250000"));
    EXPECT_DOUBLE_EQ(full.currencies[2].rate, 0.25);
    EXPECT_EQ(full.currencies[2].mode, QStringLiteral("2"));
    EXPECT_EQ(ParseExchangeRate(exchangeAnswer("0000000000"), point).amountDue, QStringLiteral("0.00"));
    EXPECT_EQ(ParseExchangeRate(exchangeAnswer("0000012345"), point).amountDue, QStringLiteral("123.45"));
    EXPECT_EQ(ParseExchangeRate(exchangeAnswer("0000012345"), QLocale(QLocale::Polish)).amountDue,
              QStringLiteral("123,45"));
    EXPECT_FALSE(ParseExchangeRate(exchangeAnswer("00000x2345"), point).hasAmountDue);

    // 30 bytes: codes 1 to 3, the first rate and mode; nothing past the end.
    const ExchangeRateAnswer part = ParseExchangeRate(exchangeAnswer("").left(30), point);
    EXPECT_FALSE(part.hasAmountDue);
    EXPECT_EQ(part.currencies[2].code, QStringLiteral("USD"));
    EXPECT_EQ(part.currencies[1].mode, QStringLiteral("1"));
    EXPECT_TRUE(part.currencies[2].rateText.isEmpty());
    EXPECT_TRUE(part.currencies[2].mode.isEmpty());
    EXPECT_TRUE(ParseExchangeRate(exchangeAnswer("").left(20), point).currencies[0].code.isEmpty());

    EXPECT_EQ(ExchangeRateText("00000000000000", point), QString());
    EXPECT_EQ(ExchangeRateText("0000001,2,3400", point), QStringLiteral("1.23400"));
    EXPECT_EQ(ExchangeRateText("000000000,5000", QLocale(QLocale::Polish)), QStringLiteral("0,5000"));
}

TEST_F(ReceiptPages, PayReadsTheDueAmountAndSendsPaymentCodes) {
    w.click(QStringLiteral("bbtnSale"));
    sell(1, 100);
    w.user.reply("cmUploadExchangeRate", 0, 0, exchangeAnswer("0000010000"));
    w.click(QStringLiteral("btnSaleOK"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Pay);
    EXPECT_FALSE(sale()->receipt().open());
    EXPECT_EQ(w.find<QLabel>("TotalLabel")->text(), QStringLiteral("100.00"));
    EXPECT_EQ(w.find<QLineEdit>("CashEdit")->text(), QStringLiteral("100.00"));
    EXPECT_EQ(w.find<QPushButton>("btnPayInCashOld")->text(), QStringLiteral("PLN"));
    auto* pm3 = w.find<QMenu>("pm3");
    EXPECT_EQ(pm3->actions().at(1)->text(), QStringLiteral("EUR"));
    EXPECT_TRUE(pm3->actions().at(1)->isVisible());

    // 50 by card in the sale currency, 50 cash in the first currency (counts 50 x 4.1234).
    w.find<QAction>("mniKARTA1")->trigger();
    w.find<QAction>("mniPIERWSZA2")->trigger();
    EXPECT_EQ(w.find<QPushButton>("btnPayCashold")->text(), QStringLiteral("KARTA"));
    w.find<QLineEdit>("CashEdit")->setText(QStringLiteral("50"));
    w.find<QLineEdit>("NewCashEdit")->setText(QStringLiteral("50"));
    w.user.reply("cmPayment", -1);
    w.click(QStringLiteral("btnPay"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Pay); // refused: the page stays
    w.user.reply("cmPayment", 0);
    w.click(QStringLiteral("btnPay"));
    expectArgs(
        w.user.lastCommand(), "cmPayment",
        {Arg::integer(1), Arg::integer(3), Arg::integer(0), Arg::real(50), Arg::real(50), Arg::real(0)});
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
}

TEST_F(ReceiptPages, PartPaymentStaysAndRefusedRateQueryStillOpensPay) {
    w.click(QStringLiteral("bbtnSale"));
    sell(1, 100);
    w.user.reply("cmUploadExchangeRate", -1);
    w.click(QStringLiteral("btnSaleOK"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Pay);
    EXPECT_EQ(w.find<QLabel>("TotalLabel")->text(), QStringLiteral("100"));
    w.find<QLineEdit>("CashEdit")->setText(QStringLiteral("60"));
    w.click(QStringLiteral("btnPay"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Pay);
    w.find<QLineEdit>("CashEdit")->setText(QStringLiteral("99.995")); // rounds to 100
    w.click(QStringLiteral("btnPay"));
    EXPECT_EQ(w.user.lastCommand()->args[3], Arg::real(100));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
}

TEST_F(ReceiptPages, BuyerIdentificationIsEighteenCharacters) {
    w.find<QAction>("PESELnabywcy1")->trigger();
    w.find<QLineEdit>("Edit6")->setText(QStringLiteral("12345"));
    w.click(QStringLiteral("Button9"));
    expectArgs(w.user.lastCommand(), "cmSetClientId",
               {Arg::text1250(QStringLiteral("112345") + QString(12, QLatin1Char(' ')))});
    EXPECT_EQ(PayPage::buyerIdText(0, QStringLiteral("12345678901234567")).size(), 18);
}

TEST_F(ReceiptPages, PostponedReceiptsTakeSlotsInTurn) {
    auto* inv = static_cast<InvInfoPage*>(w.form->page(PageId::InvInfo));
    w.click(QStringLiteral("bbtnSale"));
    inv->btnPostponeClick(true); // empty list: nothing
    EXPECT_EQ(w.user.count("cmInvoiceInfo"), 0);
    for (int receipt = 1; receipt <= 4; ++receipt) {
        sell(receipt, 10);
        inv->btnPostponeClick(true);
        expectArgs(w.user.lastCommand(), "cmInvoiceInfo",
                   {Arg::integer(0), Arg::integer(receipt == 4 ? 1 : receipt), Arg::real(10.0 * receipt),
                    Arg::real(0)});
        EXPECT_TRUE(lines().isEmpty());
        EXPECT_EQ(total(), QStringLiteral("0"));
    }
    EXPECT_EQ(sale()->receipt().postponed(1)->total, 4000);

    // Take up slot 2 (a line on the list blocks it first).
    auto* recNo = w.find<QComboBox>("cbRecNo");
    recNo->setCurrentIndex(1);
    sell(1, 1);
    inv->btnExecCancelPostponeClick();
    EXPECT_EQ(w.user.lastCommand()->function, "cmSaleItem");
    w.click(QStringLiteral("bbtnSale"));
    inv->btnExecCancelPostponeClick();
    expectArgs(w.user.lastCommand(), "cmInvoiceInfo",
               {Arg::integer(1), Arg::integer(2), Arg::real(20), Arg::real(0)});
    EXPECT_EQ(lines(), QStringList{QStringLiteral("2.000---szt---10.00---A---Milk---20---0.00---123---0")});
    EXPECT_EQ(total(), QStringLiteral("20"));
    EXPECT_FALSE(sale()->receipt().postponed(2).has_value());
    EXPECT_EQ(sale()->receipt().nextSlot(), 2);
}

TEST_F(ReceiptPages, PostponeSendsTheVatOfTheLinesByTheirRates) {
    w.ctx().VatRates = {2300, 800, 9999, 0, 0, 0, 0, 0, 0};
    w.click(QStringLiteral("bbtnSale"));
    sell(1, 123); // A at 23 %: 23
    enterItem(1, 108, QStringLiteral("szt"), 1, QStringLiteral("Bun"));
    w.click(QStringLiteral("btnSaleItem")); // B at 8 %: 8
    enterItem(1, 50, QStringLiteral("szt"), 2, QStringLiteral("Free"));
    w.click(QStringLiteral("btnSaleItem")); // C inactive
    static_cast<InvInfoPage*>(w.form->page(PageId::InvInfo))->btnPostponeClick(true);
    EXPECT_EQ(w.user.lastCommand()->args[3], Arg::real(31));
}

TEST_F(ReceiptPages, PackagesKeepRunningTotals) {
    w.click(QStringLiteral("bbtnRtnPackage"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::RtnPackage);
    w.find<QLineEdit>("edName2")->setText(QStringLiteral("Crate"));
    w.find<QLineEdit>("edUnit2")->setText(QStringLiteral("szt"));
    w.find<QLineEdit>("edPrice2")->setText(QStringLiteral("0.50"));
    w.find<QLineEdit>("edQty2")->setText(QStringLiteral("3"));
    w.click(QStringLiteral("btnExecRtnPck"));
    expectArgs(w.user.lastCommand(), "cmReturnPackage",
               {Arg::real(3), Arg::text1250(QStringLiteral("szt")), Arg::real(0.5),
                Arg::text1250(QStringLiteral("Crate"))});
    EXPECT_EQ(w.find<QLineEdit>("edTotal2")->text(), QStringLiteral("1.5"));
    EXPECT_EQ(w.find<QLineEdit>("edPrice2")->text(), QStringLiteral("0"));
    EXPECT_EQ(w.find<QLineEdit>("edQty2")->text(), QStringLiteral("1"));
    EXPECT_FALSE(w.find<QPushButton>("BitBtn15")->isEnabled());

    w.find<QLineEdit>("edPrice2")->setText(QStringLiteral("0.555"));
    w.find<QLineEdit>("edQty2")->setText(QStringLiteral("2.5"));
    w.click(QStringLiteral("btnSalePackage"));
    EXPECT_EQ(w.user.lastCommand()->args[0], Arg::real(2.5));
    EXPECT_EQ(w.user.lastCommand()->args[2], Arg::real(0.56));
    EXPECT_EQ(w.find<QLineEdit>("edTotal3")->text(), QStringLiteral("1.4"));

    w.user.reply("cmSalePackage", -1);
    w.find<QLineEdit>("edPrice2")->setText(QStringLiteral("9"));
    w.click(QStringLiteral("btnSalePackage"));
    EXPECT_EQ(w.find<QLineEdit>("edTotal3")->text(), QStringLiteral("1.4"));
    EXPECT_EQ(w.find<QLineEdit>("edPrice2")->text(), QStringLiteral("9"));

    w.click(QStringLiteral("btnExecPckPay"));
    expectArgs(w.user.lastCommand(), "cmPackagePayment", {Arg::integer(0)});
    EXPECT_TRUE(w.find<QPushButton>("BitBtn15")->isEnabled());
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
    w.click(QStringLiteral("bbtnRtnPackage"));
    EXPECT_EQ(w.find<QLineEdit>("edTotal2")->text(), QStringLiteral("1.5"));
}

TEST_F(ReceiptPages, CashInPaidOutAndDrawer) {
    w.click(QStringLiteral("bbtnReceiveAccount"));
    w.find<QLineEdit>("ReceiveAccountEdit")->setText(QStringLiteral("12.345"));
    w.click(QStringLiteral("bbtnReceiveCash"));
    expectArgs(w.user.lastCommand(), "cmReceiveCash", {Arg::real(12.345)});
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
    EXPECT_EQ(w.find<QLineEdit>("ReceiveAccountEdit")->text(), QStringLiteral("12.345"));

    w.click(QStringLiteral("bbtnPaidOut"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::PaidOut);
    w.user.reply("cmPaidOut", -1);
    w.find<QLineEdit>("PaidOutEdit")->setText(QStringLiteral("12.345"));
    w.click(QStringLiteral("PaidOutBtn1"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::PaidOut);
    expectArgs(w.user.lastCommand(), "cmPaidOut", {Arg::real(12.35)});
    w.find<QLineEdit>("PaidOutEdit")->clear();
    w.user.reply("cmPaidOut", 0);
    w.click(QStringLiteral("PaidOutBtn1"));
    expectArgs(w.user.lastCommand(), "cmPaidOut", {Arg::real(0)});

    w.click(QStringLiteral("bbtnCashInDraw"));
    expectArgs(w.user.lastCommand(), "cmCashInDrawer", {});
    w.click(QStringLiteral("btnOpenDrawer"));
    expectArgs(w.user.lastCommand(), "cmOpenDrawer", {});
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
}

TEST_F(ReceiptPages, UploadsDisableTheWindowAndAlwaysRestoreIt) {
    auto* panel = w.find<QWidget>("pnlProgress");
    auto* caption = w.find<QLabel>("Label3D1");
    ASSERT_EQ(caption->parentWidget(), panel);
    bool disabledDuring = false, panelDuring = false;
    QString textDuring;
    w.user.during("cmUploadPlu", [&] {
        disabledDuring = !w.form->isEnabled();
        panelDuring = !panel->isHidden();
        textDuring = caption->text();
    });
    w.user.reply("cmUploadPlu", -1);
    w.click(QStringLiteral("bbtnUploadPlu"));
    EXPECT_TRUE(disabledDuring);
    EXPECT_TRUE(panelDuring);
    EXPECT_EQ(textDuring, QStringLiteral("PLU UPLOADING..."));
    EXPECT_TRUE(w.form->isEnabled());
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(w.messages.last()->icon, IMessageService::Icon::Error);

    w.click(QStringLiteral("bbtnUploadPkg"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::UpRtnPkg);
    w.find<QCheckBox>("chkbUpRtnPkg")->setChecked(true);
    w.user.clearCalls();
    w.click(QStringLiteral("btnUpRtnPkg"));
    const auto calls = w.user.commands(true);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args, (Args{Arg::integer('0')}));
    EXPECT_EQ(calls[1].args, (Args{Arg::integer('1')}));
    EXPECT_TRUE(w.form->isEnabled());
    EXPECT_EQ(caption->text(), QStringLiteral("PLU UPLOADING..."));
}

TEST_F(ReceiptPages, FailedArticleSaveKeepsTheSale) {
    const QString path = writePlu("Milk\t123\tszt\t1.50\tA\t0\r\n");
    ASSERT_TRUE(QDir().mkpath(SafeWriteTempPath(path)));
    w.click(QStringLiteral("bbtnSale"));
    sell(2, 1.5);
    EXPECT_EQ(lines().size(), 1); // the printer accepted it
    EXPECT_EQ(total(), QStringLiteral("3"));
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_TRUE(w.messages.last()->text.contains(QStringLiteral("shop.plu")));
    EXPECT_EQ(fileBytes(path), "Milk\t123\tszt\t1.50\tA\t0\r\n");
    EXPECT_EQ(w.ctx().plu.PluLines.at(0), QStringLiteral("Milk\t123\tszt\t1.50\tA\t0"));
}

TEST(ReceiptPagesComma, CommaLocaleReadsAndWritesComma) {
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    {
        TestWindow w;
        w.click(QStringLiteral("bbtnSale"));
        w.find<QDoubleSpinBox>("edQty")->setValue(2);
        w.find<QDoubleSpinBox>("edPrice")->setValue(1.25);
        w.find<QComboBox>("cbDepId")->setCurrentIndex(0);
        w.click(QStringLiteral("btnSaleItem"));
        auto* sale = static_cast<SalePage*>(w.form->page(PageId::Sale));
        EXPECT_EQ(sale->saleLines().at(0), QStringLiteral("2,000------1,25---A------2,5---0,00------0"));
        EXPECT_EQ(sale->totalText(), QStringLiteral("2,5"));
        w.click(QStringLiteral("bbtnPaidOut"));
        w.find<QLineEdit>("PaidOutEdit")->setText(QStringLiteral("1,005"));
        w.click(QStringLiteral("PaidOutBtn1"));
        EXPECT_EQ(w.user.lastCommand()->args[0], Arg::real(1.0)); // 1.005 lies just below
        auto* list = w.find<QListView>("SaleList");
        list->setCurrentIndex(list->model()->index(0, 0));
        w.click(QStringLiteral("bbtnSale"));
    }
    QLocale::setDefault(QLocale::system());
}

} // namespace
