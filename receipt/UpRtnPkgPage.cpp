#include "receipt/UpRtnPkgPage.h"

UpRtnPkgPage::UpRtnPkgPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 32, QStringLiteral("UpRtnPkg"), parent) {}
