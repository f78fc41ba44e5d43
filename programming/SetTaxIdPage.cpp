#include "programming/SetTaxIdPage.h"

SetTaxIdPage::SetTaxIdPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 22, QStringLiteral("SetTaxID"), parent) {}
