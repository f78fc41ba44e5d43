#pragma once
// Page 33, "SetParameter".

#include "app/Page.h"

class SetParameterPage : public Page {
    Q_OBJECT
  public:
    explicit SetParameterPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
