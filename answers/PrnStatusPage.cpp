#include "answers/PrnStatusPage.h"

PrnStatusPage::PrnStatusPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 14, QStringLiteral("PrnStatus"), parent) {}
