#pragma once
// Page 15, "DumpSram".

#include "app/Page.h"

class DumpSramPage : public Page {
    Q_OBJECT
  public:
    explicit DumpSramPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
