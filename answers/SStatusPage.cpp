#include "answers/SStatusPage.h"

SStatusPage::SStatusPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 13, QStringLiteral("SStatus"), parent) {}
