#pragma once
// Page 35, "Fiscal Reprt".

#include "app/Page.h"

class FiscalReportPage : public Page {
    Q_OBJECT
  public:
    explicit FiscalReportPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
