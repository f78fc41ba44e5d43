#include "app/CommandMenuPage.h"

#include <QLabel>

namespace {

struct MenuButton {
    MenuCommand command;
    const char* name;
    const char* caption;
    int column; // 1..5, 0 for the hidden buttons that have no place of their own
    int row;    // 1..9
    bool visible;
};

// Every button of the menu page, at its column and row.
const MenuButton kMenu[] = {
    {MenuCommand::MessageReport, "bbtnPrgReport", "Message Report", 1, 1, true},
    {MenuCommand::SetHeadMessage, "bbtnSetHeadMessage", "Set Head Message", 1, 2, true},
    {MenuCommand::SetVatRate, "SetVatRateBtn", "Set VAT Rate", 1, 3, true},
    {MenuCommand::SetTime, "bbtnSetTime", "Set Time", 1, 4, true},
    {MenuCommand::XReport, "bbtnXReport", "X Report", 1, 5, true},
    {MenuCommand::ZReport, "bbtnZReport", "Z Report", 1, 6, true},
    {MenuCommand::CashInDrawer, "bbtnCashInDraw", "Cash In Drawer", 1, 7, true},
    {MenuCommand::SetDate, "bbtnSetDate", "Set Date", 1, 8, true},
    {MenuCommand::SetCurrency, "btnSetPoCurrency", "Set Currency", 1, 9, true},
    {MenuCommand::MemReport, "bbtnMemReport", "Fiscal Mem Report", 2, 1, true},
    {MenuCommand::Sale, "bbtnSale", "Sale", 2, 2, true},
    {MenuCommand::ReceiveAccount, "bbtnReceiveAccount", "Cash Into Drawer", 2, 3, true},
    {MenuCommand::PaidOut, "bbtnPaidOut", "Paid  Out", 2, 4, true},
    {MenuCommand::HardwareStatus, "bbtnChkHw", "Hardware Status", 2, 5, true},
    {MenuCommand::SoftwareStatus, "bbtnChkSw", "Software Status", 2, 6, true},
    {MenuCommand::PrinterStatus, "bbtnChkPrn", "Printer Status", 2, 7, true},
    {MenuCommand::ReadOnlyReport, "BitBtn24", "Read Only Report", 2, 8, true},
    {MenuCommand::ReturnPackage, "bbtnRtnPackage", "Return Package", 3, 1, true},
    {MenuCommand::UploadPlu, "bbtnUploadPlu", "Upload PLU", 3, 2, true},
    {MenuCommand::UploadTaxRate, "bbtnUploadTaxRate", "Upload TaxRate", 3, 3, true},
    {MenuCommand::UploadHeadMessage, "bbtnUploadHeadMessage", "Upload Head Message", 3, 4, true},
    {MenuCommand::PrinterSpeed, "bbtnPrinterSpeed", "Set Printer Speed", 3, 5, true},
    {MenuCommand::UploadPackages, "bbtnUploadPkg", "Upload RtnPackage", 3, 6, true},
    {MenuCommand::ClerkLogon, "bbtnClerkLogon", "Clerk Logon", 3, 7, true},
    {MenuCommand::SetClerkPassword, "bbtnSetClerkPwd", "Set Clerk Password", 3, 8, true},
    {MenuCommand::EnterFiscalMode, "bbtnEnterFiscalMode", "Enter Fiscal Mode", 4, 1, true},
    {MenuCommand::SetTaxId, "bbtnUserMode", "Set Tax ID", 4, 2, true},
    {MenuCommand::ServiceLogon, "bbtnServiceLogon", "Service Logon", 4, 3, true},
    {MenuCommand::EcrReset, "bbtnTestSram", "ECR Reset", 4, 4, true},
    {MenuCommand::SleepMode, "Button8", "SleepMode", 4, 5, true},
    {MenuCommand::ClerkLogout, "Button7", "Clerk Log Out", 4, 6, true},
    {MenuCommand::SetId, "bbtnSetId", "Set ID", 4, 8, false},
    {MenuCommand::LoadPlu, "bbtnLoadPlu", "Load PLU", 5, 1, true},
    {MenuCommand::SetParameter, "btn1", "Set Parameter", 5, 2, true},
    {MenuCommand::OpenDrawer, "btnOpenDrawer", "Open Drawer", 5, 3, true},
    {MenuCommand::EcrNumber, "Button2", "ECR number set", 5, 4, true},
    // Hidden in this build; their commands are complete all the same.
    {MenuCommand::CommandLine, "bbtnCommLine", "Command Line Mode", 5, 5, false},
    {MenuCommand::SetFootMessage, "bbtnCloseRecp", "Set FootMessage", 5, 6, false},
    {MenuCommand::DumpSram, "bbtnDumpSram", "Dump SRAM", 5, 7, false},
    {MenuCommand::DumpEprom, "bbtnDumpEprom", "Dump EPROM", 5, 8, false},
    {MenuCommand::DumpRom, "bbtnDumpRom", "Dump ROM", 5, 9, false},
    {MenuCommand::SetDepartment, "bbtnSetDept", "Set Department", 4, 7, false},
    {MenuCommand::DepartmentReport, "bbtnDepReport", "Department Report", 4, 9, false},
    {MenuCommand::UploadDepartment, "bbtnUploadDepart", "Upload Department", 3, 9, false},
    {MenuCommand::ReadExchangeRate, "btnReadExchangeRate", "ReadExchangeRate", 2, 9, false},
};

} // namespace

CommandMenuPage::CommandMenuPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::Menu, QStringLiteral("Command"), parent) {
    for (const MenuButton& m : kMenu) {
        auto* b =
            makeButton(m.name, QString::fromLatin1(m.caption), kColumnLeft[m.column - 1], kRowTop[m.row - 1]);
        b->setVisible(m.visible);
        b->setFocusPolicy(Qt::StrongFocus);
        ctx_.menu.add(m.command, b);
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
    ctx_.menu.progressPanel = progress;
    ctx_.menu.progressCaption = caption;
}
