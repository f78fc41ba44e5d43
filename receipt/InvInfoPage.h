#pragma once
// Page 21, "InvInfo": postponed receipts, three slots.

#include "core/Page.h"
#include "receipt/ReceiptModel.h"

class QComboBox;

class InvInfoPage : public Page {
    Q_OBJECT
  public:
    InvInfoPage(ConsoleContext& ctx, ReceiptModel& receipt, QWidget* parent = nullptr);

    // The sale page's "Postpone": puts the receipt aside in the next slot.
    void btnPostponeClick(bool discountEnabled);
    // "Complete Postpone" on this page: takes up the chosen slot.
    void btnExecCancelPostponeClick();
    void bbtnBackSaleClick();

  signals:
    // The receipt was set aside: the sale page shows a fresh receipt.
    void postponed();
    // A receipt set aside was taken up into the receipt model.
    void resumed(bool discountEnabled);

  private:
    QComboBox* cbRecNo = nullptr;
    ReceiptModel& receipt_;
};
