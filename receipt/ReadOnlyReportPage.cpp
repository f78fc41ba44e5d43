#include "receipt/ReadOnlyReportPage.h"

ReadOnlyReportPage::ReadOnlyReportPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 38, QStringLiteral("ReadOnlyRP"), parent) {}
