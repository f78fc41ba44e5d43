#pragma once
// Page 9, "Pay".

#include "app/Page.h"

class PayPage : public Page {
    Q_OBJECT
  public:
    explicit PayPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
