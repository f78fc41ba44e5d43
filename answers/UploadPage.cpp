#include "answers/UploadPage.h"

UploadPage::UploadPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 27, QStringLiteral("Upload"), parent) {}
