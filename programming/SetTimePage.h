#pragma once
// Page 3, "SetTime".

#include "app/Page.h"

class SetTimePage : public Page {
    Q_OBJECT
  public:
    explicit SetTimePage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
