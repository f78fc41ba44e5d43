#pragma once
// Page 24, "RtnPackage": returned and sold packages with their running totals.

#include "core/Page.h"

class QLineEdit;

class RtnPackagePage : public Page {
    Q_OBJECT
  public:
    explicit RtnPackagePage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnRtnPackageClick();
    void btnExecRtnPckClick();
    void btnSalePackageClick();
    void btnExecPckPayClick();
    void btnSalePackagePaymentClick();

  private:
    void packageEntry(const protocol::Command& command, QLineEdit* total);
    void packagePayment(const protocol::Command& command);

    QLineEdit* edName2 = nullptr;
    QLineEdit* edPrice2 = nullptr;
    QLineEdit* edUnit2 = nullptr;
    QLineEdit* edQty2 = nullptr;
    QLineEdit* edTotal2 = nullptr;
    QLineEdit* edTotal3 = nullptr;
    QPushButton* BitBtn15 = nullptr;
};
