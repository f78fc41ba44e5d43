#include "receipt/MemReportPage.h"

MemReportPage::MemReportPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 11, QStringLiteral("MemReport"), parent) {}
