#pragma once
// Page 6, "ReceiveAccount".

#include "app/Page.h"

class ReceiveAccountPage : public Page {
    Q_OBJECT
  public:
    explicit ReceiveAccountPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
