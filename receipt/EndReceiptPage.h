#pragma once
// Page 19, "EndReceipt".

#include "app/Page.h"

class EndReceiptPage : public Page {
    Q_OBJECT
  public:
    explicit EndReceiptPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
