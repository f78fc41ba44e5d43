#pragma once
// Page 21, "InvInfo".

#include "app/Page.h"

class InvInfoPage : public Page {
    Q_OBJECT
  public:
    explicit InvInfoPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
