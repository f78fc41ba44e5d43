#pragma once
// Page 5, "SetHeadMessage".

#include "app/Page.h"

class SetHeadMessagePage : public Page {
    Q_OBJECT
  public:
    explicit SetHeadMessagePage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
