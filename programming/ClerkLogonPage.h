#pragma once
// Page 25, "ClerkLogon".

#include "app/Page.h"

class ClerkLogonPage : public Page {
    Q_OBJECT
  public:
    explicit ClerkLogonPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
