#include "receipt/InvInfoPage.h"

InvInfoPage::InvInfoPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 21, QStringLiteral("InvInfo"), parent) {}
