#include "programming/SetParameterPage.h"

SetParameterPage::SetParameterPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 33, QStringLiteral("SetParameter"), parent) {}
