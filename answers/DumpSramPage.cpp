#include "answers/DumpSramPage.h"

DumpSramPage::DumpSramPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 15, QStringLiteral("DumpSram"), parent) {}
