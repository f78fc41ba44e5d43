#pragma once
// Page 2, "SetDate".

#include "app/Page.h"

class SetDatePage : public Page {
    Q_OBJECT
  public:
    explicit SetDatePage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
