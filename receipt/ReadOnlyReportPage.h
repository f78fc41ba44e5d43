#pragma once
// Page 38, "ReadOnlyRP".

#include "app/Page.h"

class ReadOnlyReportPage : public Page {
    Q_OBJECT
  public:
    explicit ReadOnlyReportPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
