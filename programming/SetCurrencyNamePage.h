#pragma once
// Page 34, "SetCurrencyName".

#include "app/Page.h"

class SetCurrencyNamePage : public Page {
    Q_OBJECT
  public:
    explicit SetCurrencyNamePage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
