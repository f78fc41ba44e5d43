#include "receipt/PaidOutPage.h"

PaidOutPage::PaidOutPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 7, QStringLiteral("PaidOut"), parent) {}
