#pragma once
// Page 21, "InvInfo": postponed receipts, three slots.

#include "app/Page.h"

class QComboBox;

class InvInfoPage : public Page {
    Q_OBJECT
  public:
    explicit InvInfoPage(ConsoleContext& ctx, QWidget* parent = nullptr);

    // The sale page's "Postpone": puts the receipt aside in the next slot.
    void btnPostponeClick();
    // "Complete Postpone" on this page: takes up the chosen slot.
    void btnExecCancelPostponeClick();
    void bbtnBackSaleClick();

    // The VAT contained in the sale list's line totals, by the rates of the
    // lines' tax groups (hundredths of a per cent; 9999 marks an inactive rate).
    double ReceiptVatTotal() const;

  private:
    QComboBox* cbRecNo = nullptr;
};
