#include "answers/RtnPkgPage.h"

RtnPkgPage::RtnPkgPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 30, QStringLiteral("RtnPkg"), parent) {}
