#include "receipt/PayPage.h"

PayPage::PayPage(ConsoleContext& ctx, QWidget* parent) : Page(ctx, 9, QStringLiteral("Pay"), parent) {}
