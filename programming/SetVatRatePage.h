#pragma once
// Page 4, "SetVarRate".

#include "app/Page.h"

class SetVatRatePage : public Page {
    Q_OBJECT
  public:
    explicit SetVatRatePage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
