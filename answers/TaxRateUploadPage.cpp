#include "answers/TaxRateUploadPage.h"

TaxRateUploadPage::TaxRateUploadPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 28, QStringLiteral("TaxRateUpload"), parent) {}
