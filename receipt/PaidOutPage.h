#pragma once
// Page 7, "PaidOut".

#include "app/Page.h"

class PaidOutPage : public Page {
    Q_OBJECT
  public:
    explicit PaidOutPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
