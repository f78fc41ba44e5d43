#include "programming/SetCurrencyNamePage.h"

SetCurrencyNamePage::SetCurrencyNamePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 34, QStringLiteral("SetCurrencyName"), parent) {}
