#pragma once
// Page 6, "ReceiveAccount": cash into the drawer; also the menu's drawer commands.

#include "core/Page.h"

class QLineEdit;

class ReceiveAccountPage : public Page {
    Q_OBJECT
  public:
    explicit ReceiveAccountPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnReceiveAccountClick();
    void bbtnReceiveCashClick();
    void bbtnCashInDrawClick();
    void btnOpenDrawerClick();

  private:
    QLineEdit* ReceiveAccountEdit = nullptr;
};
