#include "app/PageRegistry.h"

#include "answers/DumpEpromPage.h"
#include "answers/DumpSramPage.h"
#include "answers/EcrResetPage.h"
#include "answers/FiscalReportPage.h"
#include "answers/HStatusPage.h"
#include "answers/DataFilePage.h"
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
    pages.push_back(new HStatusPage(ctx));
    pages.push_back(new SStatusPage(ctx));
    pages.push_back(new PrnStatusPage(ctx));
    pages.push_back(new DumpSramPage(ctx));
    pages.push_back(new DumpEpromPage(ctx));
    pages.push_back(new BlankPage(ctx, PageId::Invoice, QStringLiteral("Invoice")));
    pages.push_back(new SetIdPage(ctx));
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
    pages.push_back(new UploadPage(ctx));
    pages.push_back(new TaxRateUploadPage(ctx));
    pages.push_back(new PrinterSpeedPage(ctx));
    pages.push_back(new DataFilePage(ctx, DataFilePage::kPackages));
    pages.push_back(new BlankPage(ctx, PageId::PrnRpt, QStringLiteral("PrnRpt")));
    pages.push_back(new UpRtnPkgPage(ctx));
    pages.push_back(new SetParameterPage(ctx));
    pages.push_back(new SetCurrencyNamePage(ctx));
    pages.push_back(new FiscalReportPage(ctx));
    pages.push_back(new EcrNumberSetPage(ctx));
    pages.push_back(new EcrResetPage(ctx));
    pages.push_back(new ReadOnlyReportPage(ctx));

    // The sale page's buttons emit under the console's error guard; the pages
    // that finish the receipt take over.
    QObject::connect(sale, &SalePage::payRequested, pay, &PayPage::openFromSale);
    QObject::connect(sale, &SalePage::voidRequested, endReceipt, &EndReceiptPage::openForCancel);
    QObject::connect(sale, &SalePage::postponeRequested, invoice, &InvInfoPage::btnPostponeClick);
    QObject::connect(invoice, &InvInfoPage::postponed, sale, &SalePage::afterPostpone);
    QObject::connect(invoice, &InvInfoPage::resumed, sale, &SalePage::afterResume);
    return pages;
}
