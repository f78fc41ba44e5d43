#include "programming/SetDepPage.h"

SetDepPage::SetDepPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 10, QStringLiteral("SetDep"), parent) {}
