#include "answers/PluInfoPage.h"

PluInfoPage::PluInfoPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 26, QStringLiteral("PLUInfo"), parent) {}
