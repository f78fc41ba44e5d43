#include "programming/SetHeadMessagePage.h"

SetHeadMessagePage::SetHeadMessagePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 5, QStringLiteral("SetHeadMessage"), parent) {}
