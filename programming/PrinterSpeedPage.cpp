#include "programming/PrinterSpeedPage.h"

PrinterSpeedPage::PrinterSpeedPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 29, QStringLiteral("PrinterSpeed"), parent) {}
