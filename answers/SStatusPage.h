#pragma once
// Page 13, "SStatus".

#include "app/Page.h"

class SStatusPage : public Page {
    Q_OBJECT
  public:
    explicit SStatusPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
