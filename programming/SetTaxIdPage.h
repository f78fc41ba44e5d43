#pragma once
// Page 22, "SetTaxID".

#include "app/Page.h"

class SetTaxIdPage : public Page {
    Q_OBJECT
  public:
    explicit SetTaxIdPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
