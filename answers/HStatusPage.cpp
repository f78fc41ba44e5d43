#include "answers/HStatusPage.h"

HStatusPage::HStatusPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 12, QStringLiteral("HStatus"), parent) {}
