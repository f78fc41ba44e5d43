#include "app/CommandLinePage.h"

CommandLinePage::CommandLinePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 0, QStringLiteral("CommandLine"), parent) {}
