#include "programming/SetVatRatePage.h"

SetVatRatePage::SetVatRatePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 4, QStringLiteral("SetVarRate"), parent) {}
