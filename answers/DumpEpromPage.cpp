#include "answers/DumpEpromPage.h"

DumpEpromPage::DumpEpromPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 16, QStringLiteral("DumpEprom"), parent) {}
