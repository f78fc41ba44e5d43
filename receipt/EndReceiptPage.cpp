#include "receipt/EndReceiptPage.h"

EndReceiptPage::EndReceiptPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 19, QStringLiteral("EndReceipt"), parent) {}
