#include "receipt/ReceiveAccountPage.h"

ReceiveAccountPage::ReceiveAccountPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 6, QStringLiteral("ReceiveAccount"), parent) {}
