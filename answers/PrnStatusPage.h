#pragma once
// Page 14, "PrnStatus".

#include "app/Page.h"

class PrnStatusPage : public Page {
    Q_OBJECT
  public:
    explicit PrnStatusPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
