#include "receipt/SalePage.h"

SalePage::SalePage(ConsoleContext& ctx, QWidget* parent) : Page(ctx, 8, QStringLiteral("Sale"), parent) {}
