#pragma once
// Page 26, "PLUInfo".

#include "app/Page.h"

class PluInfoPage : public Page {
    Q_OBJECT
  public:
    explicit PluInfoPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
