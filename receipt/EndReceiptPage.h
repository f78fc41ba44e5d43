#pragma once
// Page 19, "EndReceipt": receipt cancel, and receipt close with a footer message.

#include "core/Page.h"
#include "receipt/ReceiptModel.h"

class QLabel;
class QLineEdit;

class EndReceiptPage : public Page {
    Q_OBJECT
  public:
    EndReceiptPage(ConsoleContext& ctx, ReceiptModel& receipt, QWidget* parent = nullptr);
    void attach() override;

    // The sale page's "Receipt Cancel".
    void openForCancel();
    // Menu "Set FootMessage".
    void bbtnCloseRecpClick();
    void bbtnExecCancelRecpClick();
    void bbtnExecCloseRecpClick();

  private:
    QLabel* Label78 = nullptr;
    QLineEdit* edFootMsg = nullptr;
    QPushButton* bbtnExecCancelRecp = nullptr;
    QPushButton* bbtnExecCloseRecp = nullptr;
    QPushButton* BitBtn11 = nullptr;
    ReceiptModel& receipt_;
};
