#pragma once
// Page 11, "MemReport".

#include "app/Page.h"

class MemReportPage : public Page {
    Q_OBJECT
  public:
    explicit MemReportPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
