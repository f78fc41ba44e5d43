#pragma once
// Page 10, "SetDep".

#include "app/Page.h"

class SetDepPage : public Page {
    Q_OBJECT
  public:
    explicit SetDepPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
