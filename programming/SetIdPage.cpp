#include "programming/SetIdPage.h"

SetIdPage::SetIdPage(ConsoleContext& ctx, QWidget* parent) : Page(ctx, 18, QStringLiteral("SetID"), parent) {}
