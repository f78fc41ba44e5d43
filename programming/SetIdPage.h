#pragma once
// Page 18, "SetID".

#include "app/Page.h"

class SetIdPage : public Page {
    Q_OBJECT
  public:
    explicit SetIdPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
