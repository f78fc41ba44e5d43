#include "answers/EcrResetPage.h"

EcrResetPage::EcrResetPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 37, QStringLiteral("ECR Reset"), parent) {}
