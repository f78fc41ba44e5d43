#include "app/PageRegistry.h"

#include "answers/DataFilePage.h"
#include "answers/DumpEpromPage.h"
#include "answers/DumpSramPage.h"
#include "answers/EcrResetPage.h"
#include "answers/FiscalReportPage.h"
#include "answers/HStatusPage.h"
#include "answers/PrnStatusPage.h"
#include "answers/SStatusPage.h"
#include "answers/TaxRateUploadPage.h"
#include "answers/UploadPage.h"
#include "app/CommandLinePage.h"
#include "app/CommandMenuPage.h"
#include "programming/ClerkLogonPage.h"
#include "programming/EcrNumberSetPage.h"
#include "programming/PrinterSpeedPage.h"
#include "programming/ServiceLogonPage.h"
#include "programming/SetCurrencyNamePage.h"
#include "programming/SetDatePage.h"
#include "programming/SetDepPage.h"
#include "programming/SetHeadMessagePage.h"
#include "programming/SetIdPage.h"
#include "programming/SetParameterPage.h"
#include "programming/SetTaxIdPage.h"
#include "programming/SetTimePage.h"
#include "programming/SetVatRatePage.h"
#include "receipt/EndReceiptPage.h"
#include "receipt/InvInfoPage.h"
#include "receipt/MemReportPage.h"
#include "receipt/PaidOutPage.h"
#include "receipt/PayPage.h"
#include "receipt/ReadOnlyReportPage.h"
#include "receipt/ReceiveAccountPage.h"
#include "receipt/RtnPackagePage.h"
#include "receipt/SalePage.h"
#include "receipt/UpRtnPkgPage.h"

std::vector<Page*> createPages(ConsoleContext& ctx) {
    std::vector<Page*> pages;
    pages.reserve(39);
    pages.push_back(new CommandLinePage(ctx));
    pages.push_back(new CommandMenuPage(ctx));
    pages.push_back(new SetDatePage(ctx));
    pages.push_back(new SetTimePage(ctx));
    pages.push_back(new SetVatRatePage(ctx));
    pages.push_back(new SetHeadMessagePage(ctx));
    pages.push_back(new ReceiveAccountPage(ctx));
    pages.push_back(new PaidOutPage(ctx));
    // The open receipt: one model, shown by the sale page and read by the pay,
    // postpone and end-receipt pages.
    auto* sale = new SalePage(ctx, *new ReceiptModel);
    ReceiptModel& receipt = sale->receipt();
    receipt.setParent(sale);
    auto* pay = new PayPage(ctx, receipt);
    pages.push_back(sale);
    pages.push_back(pay);
    pages.push_back(new SetDepPage(ctx));
    pages.push_back(new MemReportPage(ctx));
    auto* hardware = new HStatusPage(ctx);
    pages.push_back(hardware);
    auto* software = new SStatusPage(ctx);
    pages.push_back(software);
    pages.push_back(new PrnStatusPage(ctx));
    pages.push_back(new DumpSramPage(ctx));
    pages.push_back(new DumpEpromPage(ctx));
    pages.push_back(new BlankPage(ctx, PageId::Invoice, QStringLiteral("Invoice")));
    auto* setId = new SetIdPage(ctx);
    pages.push_back(setId);
    auto* endReceipt = new EndReceiptPage(ctx, receipt);
    pages.push_back(endReceipt);
    pages.push_back(new BlankPage(ctx, PageId::XReport, QStringLiteral("XReport")));
    auto* invoice = new InvInfoPage(ctx, receipt);
    pages.push_back(invoice);
    pages.push_back(new SetTaxIdPage(ctx));
    pages.push_back(new ServiceLogonPage(ctx));
    pages.push_back(new RtnPackagePage(ctx));
    pages.push_back(new ClerkLogonPage(ctx));
    pages.push_back(new DataFilePage(ctx, DataFilePage::kArticles));
    auto* upload = new UploadPage(ctx);
    pages.push_back(upload);
    auto* rates = new TaxRateUploadPage(ctx);
    pages.push_back(rates);
    pages.push_back(new PrinterSpeedPage(ctx));
    pages.push_back(new DataFilePage(ctx, DataFilePage::kPackages));
    pages.push_back(new BlankPage(ctx, PageId::PrnRpt, QStringLiteral("PrnRpt")));
    pages.push_back(new UpRtnPkgPage(ctx));
    pages.push_back(new SetParameterPage(ctx));
    auto* currency = new SetCurrencyNamePage(ctx);
    pages.push_back(currency);
    pages.push_back(new FiscalReportPage(ctx));
    pages.push_back(new EcrNumberSetPage(ctx));
    pages.push_back(new EcrResetPage(ctx));
    auto* readOnly = new ReadOnlyReportPage(ctx);
    pages.push_back(readOnly);

    // The sale page's buttons emit under the console's error guard; the pages
    // that finish the receipt take over.
    QObject::connect(sale, &SalePage::payRequested, pay, &PayPage::openFromSale);
    QObject::connect(sale, &SalePage::voidRequested, endReceipt, &EndReceiptPage::openForCancel);
    QObject::connect(sale, &SalePage::postponeRequested, invoice, &InvInfoPage::btnPostponeClick);
    QObject::connect(invoice, &InvInfoPage::postponed, sale, &SalePage::afterPostpone);
    QObject::connect(invoice, &InvInfoPage::resumed, sale, &SalePage::afterResume);
    // The fiscalisation review: the set-ID page asks, the status and upload
    // pages hand it what they read.
    QObject::connect(hardware, &HStatusPage::reviewed, setId, &SetIdPage::showHardwareReview);
    QObject::connect(software, &SStatusPage::reviewed, setId, &SetIdPage::showSoftwareReview);
    QObject::connect(rates, &TaxRateUploadPage::reviewed, setId, &SetIdPage::showRatesReview);
    QObject::connect(upload, &UploadPage::headerLinesReviewed, setId, &SetIdPage::showHeaderLinesReview);
    QObject::connect(currency, &SetCurrencyNamePage::saleCurrencyRead, setId, &SetIdPage::showCurrencyReview);
    QObject::connect(software, &SStatusPage::serviceModeRead, readOnly, &ReadOnlyReportPage::showServiceMode);
    // The fiscalisation review also reads the programmed currencies.
    QObject::connect(setId, &SetIdPage::currencyReviewRequested, currency,
                     [&ctx, currency] { ctx.guard([currency] { currency->Button12Click(); }); });
    return pages;
}
