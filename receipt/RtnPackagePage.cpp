#include "receipt/RtnPackagePage.h"

RtnPackagePage::RtnPackagePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 24, QStringLiteral("RtnPackage"), parent) {}
