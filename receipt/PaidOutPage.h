#pragma once
// Page 7, "PaidOut": cash taken out of the drawer.

#include "core/Page.h"

class QLineEdit;

class PaidOutPage : public Page {
    Q_OBJECT
  public:
    explicit PaidOutPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnPaidOutClick();
    void PaidOutBtn1Click();

  private:
    QLineEdit* PaidOutEdit = nullptr;
};
