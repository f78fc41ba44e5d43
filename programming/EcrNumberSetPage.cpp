#include "programming/EcrNumberSetPage.h"

EcrNumberSetPage::EcrNumberSetPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 36, QStringLiteral("ECR number set"), parent) {}
