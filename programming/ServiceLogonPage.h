#pragma once
// Page 23, "SeviceLogon".

#include "app/Page.h"

class ServiceLogonPage : public Page {
    Q_OBJECT
  public:
    explicit ServiceLogonPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
