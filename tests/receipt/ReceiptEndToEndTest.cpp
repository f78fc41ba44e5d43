// Receipts against the virtual printer: an article from the article file, a
// discount, a payment in two currencies, a receipt cancel that gives the sold
// quantities back, and packages with their settlement.

#include "VirtualPrinterTest.h"

#include "app/Main.h"
#include "core/AnswerDecoders.h"
#include "device/DeviceErrors.h"
#include "device/QLibraryDevice.h"
#include "receipt/SalePage.h"
#include "receipt/UpRtnPkgPage.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ReceiptOnVirtualPrinter : VirtualPrinterTest {
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        VirtualPrinterTest::SetUp();
    }
    // The value an acknowledgement carries (grosze or a count).
    static qint64 ackValue(const QByteArray& ack) {
        namespace a = protocol::Acknowledgement;
        return ack.size() >= a::layout.size ? answers::fieldBytes(ack, a::Value).toLongLong() : -1;
    }
    qint64 drawer() { return ackValue(run(protocol::cmd::cmCashInDrawer, {})); }
    QByteArray paper() {
        QFile f(home.filePath(QStringLiteral("printer/COM1-paper.txt")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray pluFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    SalePage* sale() { return dynamic_cast<SalePage*>(form->page(PageId::Sale)); }
    // Fills the sale page from the article file by barcode and sells `quantity`.
    void sellByBarcode(const QString& barcode, double quantity) {
        find<QLineEdit>("edBarcode")->setText(barcode);
        sale()->edBarcodeExit();
        find<QDoubleSpinBox>("edQty")->setValue(quantity);
        click("btnSaleItem");
    }
};

} // namespace

TEST_F(ReceiptOnVirtualPrinter, ArticleFileDiscountTwoCurrenciesCancelAndPackages) {
    // The printer needs VAT rates before it sells, and rates for its other currencies.
    run(protocol::cmd::cmSetVatRate,
        {dev::Arg::integer(2300), dev::Arg::integer(800), dev::Arg::integer(500), dev::Arg::integer(9999),
         dev::Arg::integer(9999), dev::Arg::integer(9999), dev::Arg::integer(9999), dev::Arg::integer(9999),
         dev::Arg::integer(9999), dev::Arg::text1250(QString())});
    run(protocol::cmd::cmSetCurrencyName, {dev::Arg::text1250(QStringLiteral("EURUSD"))});
    run(protocol::cmd::cmSetExChangeRate,
        {dev::Arg::text1250(QStringLiteral("4.5")), dev::Arg::text1250(QStringLiteral("A")),
         dev::Arg::text1250(QStringLiteral("4")), dev::Arg::text1250(QStringLiteral("A"))});
    expectNoBoxes("printer set-up");
    ASSERT_EQ(drawer(), 0);

    // The article file, chosen through "Load PLU".
    const QString plu = home.filePath(QStringLiteral("shop.plu"));
    {
        QFile f(plu);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Mleko\t5901234567890\tszt\t2.50\tA\t3\r\n"
                "Chleb\t590000000002\tszt\t4.00\tB\t0\r\n");
    }
    static_cast<UpRtnPkgPage*>(form->page(PageId::UpRtnPkg))->choosePluFile = [plu](const QString&) {
        return plu;
    };
    click("bbtnLoadPlu");
    expectNoBoxes("load PLU");
    ASSERT_TRUE(form->context().plu.loaded());

    // Receipt 1: two articles from the file, a 10 % discount on the first.
    click("bbtnSale");
    ASSERT_EQ(form->currentPage(), PageId::Sale);
    find<QLineEdit>("edBarcode")->setText(QStringLiteral("5901234567890"));
    sale()->edBarcodeExit();
    EXPECT_EQ(find<QLineEdit>("edName")->text(), QStringLiteral("Mleko"));
    EXPECT_DOUBLE_EQ(find<QDoubleSpinBox>("edPrice")->value(), 2.5);
    EXPECT_EQ(find<QComboBox>("cbDepId")->currentText(), QStringLiteral("A"));
    find<QDoubleSpinBox>("edQty")->setValue(2);
    click("btnSaleItem");
    expectNoBoxes("sale of the first article");
    EXPECT_EQ(sale()->totalText(), QStringLiteral("5"));
    EXPECT_TRUE(pluFile(plu).startsWith("Mleko\t5901234567890\tszt\t2.50\tA\t5\r\n"));

    find<QLineEdit>("edDiscRate")->setText(QStringLiteral("10"));
    click("bbtnDiscount");
    expectNoBoxes("discount");
    EXPECT_EQ(sale()->totalText(), QStringLiteral("4.5"));

    sellByBarcode(QStringLiteral("590000000002"), 1);
    expectNoBoxes("sale of the second article");
    EXPECT_EQ(sale()->totalText(), QStringLiteral("8.5"));
    EXPECT_EQ(sale()->saleLines().size(), 2);

    // Pay 4.00 in the sale currency and 1.00 EUR (at 4.5, so 4.50) in cash.
    click("btnSaleOK");
    expectNoBoxes("open the payment");
    ASSERT_EQ(form->currentPage(), PageId::Pay);
    EXPECT_EQ(form->context().receipt.CurrencyTable[1].code, QStringLiteral("EUR"));
    EXPECT_EQ(form->context().receipt.CurrencyTable[2].code, QStringLiteral("USD"));
    EXPECT_DOUBLE_EQ(form->context().receipt.CurrencyTable[1].rate, 4.5);
    EXPECT_EQ(find<QLabel>("TotalLabel")->text(), QStringLiteral("8.50")); // the printer's amount due
    find<QLineEdit>("CashEdit")->setText(QStringLiteral("4.00"));
    QAction* eur = find<QAction>("mniPIERWSZA2");
    ASSERT_NE(eur, nullptr);
    ASSERT_TRUE(eur->isVisible());
    eur->trigger();
    EXPECT_EQ(find<QPushButton>("btnPayInCashNew")->text(), QStringLiteral("EUR"));
    find<QLineEdit>("NewCashEdit")->setText(QStringLiteral("1.00"));
    click("btnPay");
    expectNoBoxes("payment");
    EXPECT_EQ(form->currentPage(), PageId::Menu);
    EXPECT_FALSE(sale()->receipt().open());
    EXPECT_EQ(drawer(), 850); // both cash lines end up in the drawer
    const QString roll = QString::fromUtf8(paper());
    EXPECT_TRUE(roll.contains(QStringLiteral("RABAT"))) << roll.toStdString();
    EXPECT_TRUE(roll.contains(QStringLiteral("EUR"))) << roll.toStdString();
    EXPECT_EQ(pluFile(plu), "Mleko\t5901234567890\tszt\t2.50\tA\t5\r\n"
                            "Chleb\t590000000002\tszt\t4.00\tB\t1\r\n");

    // Receipt 2: three more sold, then the whole receipt is cancelled and the
    // article file gets its quantities back.
    click("bbtnSale");
    sellByBarcode(QStringLiteral("5901234567890"), 3);
    sellByBarcode(QStringLiteral("590000000002"), 2);
    expectNoBoxes("sales of receipt 2");
    EXPECT_EQ(pluFile(plu), "Mleko\t5901234567890\tszt\t2.50\tA\t8\r\n"
                            "Chleb\t590000000002\tszt\t4.00\tB\t3\r\n");
    EXPECT_TRUE(sale()->receipt().open());
    click("btnSaleVoid");
    ASSERT_EQ(form->currentPage(), PageId::EndReceipt);
    click("bbtnExecCancelRecp");
    expectNoBoxes("receipt cancel");
    EXPECT_EQ(form->currentPage(), PageId::Menu);
    EXPECT_FALSE(sale()->receipt().open());
    EXPECT_EQ(pluFile(plu), "Mleko\t5901234567890\tszt\t2.50\tA\t5\r\n"
                            "Chleb\t590000000002\tszt\t4.00\tB\t1\r\n");
    EXPECT_EQ(drawer(), 850);
    // The printer has no receipt open any more: a payment is out of sequence.
    EXPECT_FALSE(form->context()
                     .frame
                     .run(protocol::cmd::cmPayment,
                          [] {
                              return dev::Args{dev::Arg::integer(0), dev::Arg::integer(0),
                                               dev::Arg::integer(0), dev::Arg::real(1),
                                               dev::Arg::real(0),    dev::Arg::real(0)};
                          })
                     .has_value());
    messages.clear();

    // Packages: two bottles returned, one crate sold, each settled.
    click("bbtnRtnPackage");
    ASSERT_EQ(form->currentPage(), PageId::RtnPackage);
    auto enter = [&](const char* name, const char* price, const char* qty, const char* button) {
        find<QLineEdit>("edName2")->setText(QString::fromLatin1(name));
        find<QLineEdit>("edUnit2")->setText(QStringLiteral("szt"));
        find<QLineEdit>("edPrice2")->setText(QString::fromLatin1(price));
        find<QLineEdit>("edQty2")->setText(QString::fromLatin1(qty));
        click(button);
    };
    enter("Butelka", "0.50", "2", "btnExecRtnPck");
    enter("Skrzynka", "5.00", "1", "btnSalePackage");
    expectNoBoxes("package entries");
    EXPECT_EQ(find<QLineEdit>("edTotal2")->text(), QStringLiteral("1"));
    EXPECT_EQ(find<QLineEdit>("edTotal3")->text(), QStringLiteral("5"));
    EXPECT_FALSE(find<QPushButton>("BitBtn15")->isEnabled()); // no way back while packages are open
    click("btnExecPckPay");
    expectNoBoxes("returned packages paid out");
    EXPECT_EQ(drawer(), 750);
    form->showPage(PageId::RtnPackage);
    click("btnSalePackagePayment");
    expectNoBoxes("sold packages paid in");
    EXPECT_EQ(form->currentPage(), PageId::Menu);
    EXPECT_EQ(drawer(), 1250);

    // The returned-package records the printer keeps: name, price, returned
    // quantity and value, sold quantity and value.
    click("bbtnUploadPkg");
    ASSERT_EQ(form->currentPage(), PageId::UpRtnPkg);
    click("btnUpRtnPkg");
    messages.clear(); // the decoder's page may have its say
    namespace pkg = protocol::PackageRecord;
    QFile records(home.filePath(QString::fromLatin1(protocol::kReturnPackageFile)));
    ASSERT_TRUE(records.open(QIODevice::ReadOnly));
    const QByteArray data = records.readAll();
    ASSERT_EQ(data.size(), 2 * pkg::layout.size);
    const auto field = [&](int record, const protocol::Field& f) {
        return answers::fieldBytes(data.mid(record * pkg::layout.size, pkg::layout.size), f);
    };
    auto number = [&](int record, const protocol::Field& f) {
        qint64 v = 0;
        for (const char b : field(record, f))
            v = v * 256 + static_cast<unsigned char>(b);
        return v;
    };
    for (int r = 0; r < 2; ++r) {
        const QByteArray name = field(r, pkg::Name).trimmed();
        if (name == "Butelka") {
            EXPECT_EQ(number(r, pkg::Price), 50);
            EXPECT_EQ(number(r, pkg::ReturnedQuantity), 2000);
            EXPECT_EQ(number(r, pkg::ReturnedValue), 100);
            EXPECT_EQ(number(r, pkg::SoldQuantity), 0);
        } else {
            EXPECT_EQ(name, "Skrzynka");
            EXPECT_EQ(number(r, pkg::Price), 500);
            EXPECT_EQ(number(r, pkg::ReturnedQuantity), 0);
            EXPECT_EQ(number(r, pkg::SoldQuantity), 1000);
            EXPECT_EQ(number(r, pkg::SoldValue), 500);
        }
    }
}
