#include "answers/FiscalReportPage.h"

FiscalReportPage::FiscalReportPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 35, QStringLiteral("Fiscal Reprt"), parent) {}
