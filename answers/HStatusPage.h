#pragma once
// Page 12, "HStatus".

#include "app/Page.h"

class HStatusPage : public Page {
    Q_OBJECT
  public:
    explicit HStatusPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
