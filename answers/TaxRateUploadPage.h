#pragma once
// Page 28, "TaxRateUpload".

#include "app/Page.h"

class TaxRateUploadPage : public Page {
    Q_OBJECT
  public:
    explicit TaxRateUploadPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
