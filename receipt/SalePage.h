#pragma once
// Page 8, "Sale".

#include "app/Page.h"

class SalePage : public Page {
    Q_OBJECT
  public:
    explicit SalePage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
