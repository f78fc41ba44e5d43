#pragma once
// Page 29, "PrinterSpeed".

#include "app/Page.h"

class PrinterSpeedPage : public Page {
    Q_OBJECT
  public:
    explicit PrinterSpeedPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
