#include "programming/SetTimePage.h"

SetTimePage::SetTimePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 3, QStringLiteral("SetTime"), parent) {}
