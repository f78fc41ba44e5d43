#include "programming/SetDatePage.h"

SetDatePage::SetDatePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 2, QStringLiteral("SetDate"), parent) {}
