#include "app/CommandMenuPage.h"

#include <QLabel>

namespace {

struct MenuButton {
    const char* name;
    const char* caption;
    int column; // 1..5, 0 for the hidden buttons that have no place of their own
    int row;    // 1..9
    bool visible;
};

// Every button of the menu page, at its column and row.
const MenuButton kMenu[] = {
    {"bbtnPrgReport", "Message Report", 1, 1, true},
    {"bbtnSetHeadMessage", "Set Head Message", 1, 2, true},
    {"SetVatRateBtn", "Set VAT Rate", 1, 3, true},
    {"bbtnSetTime", "Set Time", 1, 4, true},
    {"bbtnXReport", "X Report", 1, 5, true},
    {"bbtnZReport", "Z Report", 1, 6, true},
    {"bbtnCashInDraw", "Cash In Drawer", 1, 7, true},
    {"bbtnSetDate", "Set Date", 1, 8, true},
    {"btnSetPoCurrency", "Set Currency", 1, 9, true},
    {"bbtnMemReport", "Fiscal Mem Report", 2, 1, true},
    {"bbtnSale", "Sale", 2, 2, true},
    {"bbtnReceiveAccount", "Cash Into Drawer", 2, 3, true},
    {"bbtnPaidOut", "Paid  Out", 2, 4, true},
    {"bbtnChkHw", "Hardware Status", 2, 5, true},
    {"bbtnChkSw", "Software Status", 2, 6, true},
    {"bbtnChkPrn", "Printer Status", 2, 7, true},
    {"BitBtn24", "Read Only Report", 2, 8, true},
    {"bbtnRtnPackage", "Return Package", 3, 1, true},
    {"bbtnUploadPlu", "Upload PLU", 3, 2, true},
    {"bbtnUploadTaxRate", "Upload TaxRate", 3, 3, true},
    {"bbtnUploadHeadMessage", "Upload Head Message", 3, 4, true},
    {"bbtnPrinterSpeed", "Set Printer Speed", 3, 5, true},
    {"bbtnUploadPkg", "Upload RtnPackage", 3, 6, true},
    {"bbtnClerkLogon", "Clerk Logon", 3, 7, true},
    {"bbtnSetClerkPwd", "Set Clerk Password", 3, 8, true},
    {"bbtnEnterFiscalMode", "Enter Fiscal Mode", 4, 1, true},
    {"bbtnUserMode", "Set Tax ID", 4, 2, true},
    {"bbtnServiceLogon", "Service Logon", 4, 3, true},
    {"bbtnTestSram", "ECR Reset", 4, 4, true},
    {"Button8", "SleepMode", 4, 5, true},
    {"Button7", "Clerk Log Out", 4, 6, true},
    {"bbtnSetId", "Set ID", 4, 8, false},
    {"bbtnLoadPlu", "Load PLU", 5, 1, true},
    {"btn1", "Set Parameter", 5, 2, true},
    {"btnOpenDrawer", "Open Drawer", 5, 3, true},
    {"Button2", "ECR number set", 5, 4, true},
    // Hidden in this build; their commands are complete all the same.
    {"bbtnCommLine", "Command Line Mode", 5, 5, false},
    {"bbtnCloseRecp", "Set FootMessage", 5, 6, false},
    {"bbtnDumpSram", "Dump SRAM", 5, 7, false},
    {"bbtnDumpEprom", "Dump EPROM", 5, 8, false},
    {"bbtnDumpRom", "Dump ROM", 5, 9, false},
    {"bbtnSetDept", "Set Department", 4, 7, false},
    {"bbtnDepReport", "Department Report", 4, 9, false},
    {"bbtnUploadDepart", "Upload Department", 3, 9, false},
    {"btnReadExchangeRate", "ReadExchangeRate", 2, 9, false},
};

} // namespace

CommandMenuPage::CommandMenuPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::Menu, QStringLiteral("Command"), parent) {
    for (const MenuButton& m : kMenu) {
        auto* b =
            makeButton(m.name, QString::fromLatin1(m.caption), kColumnLeft[m.column - 1], kRowTop[m.row - 1]);
        b->setVisible(m.visible);
        b->setFocusPolicy(Qt::StrongFocus);
    }
    // Shown by the article upload while the printer sends its table.
    auto* progress = make<QFrame>("pnlProgress", 250, 110, 300, 60);
    progress->setFrameShape(QFrame::Panel);
    progress->setFrameShadow(QFrame::Raised);
    progress->setAutoFillBackground(true);
    auto* caption = make<QLabel>("Label3D1", 2, 2, 296, 56, progress);
    caption->setText(QStringLiteral("PLU UPLOADING..."));
    caption->setAlignment(Qt::AlignCenter);
    progress->setVisible(false);
}
