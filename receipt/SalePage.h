#pragma once
// Page 8, "Sale": the receipt being built, its local mirror (sale list and
// running total), item cancel, discount and increase.

#include "core/Page.h"
#include "receipt/ReceiptModel.h"

#include <QStringList>

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QRadioButton;
class PriceEdit;

// A sale line as the list shows it: nine fields joined by "---". Only the list
// shows this text: the cancel, the discount and the postponement work on the
// typed sale lines, so a name, unit or barcode may itself hold "---".
namespace saleline {
inline const QString kSeparator = QStringLiteral("---");
constexpr int kQuantity = 0, kUnit = 1, kPrice = 2, kTaxLetter = 3, kName = 4, kLineTotal = 5,
              kReturnPrice = 6, kBarcode = 7, kChanged = 8;
constexpr int kFields = 9;
} // namespace saleline

class SalePage : public Page {
    Q_OBJECT
  public:
    SalePage(ConsoleContext& ctx, ReceiptModel& receipt, QWidget* parent = nullptr);
    void attach() override;

    // Menu "Sale": a fresh receipt view.
    void bbtnSaleClick();
    // Article lookup when the barcode field loses the focus.
    void edBarcodeExit();
    void btnSaleItemClick();
    void btnSale200Click();
    void btnCancelItemClick();
    void bbtnDiscountClick();
    void rbDiscAmt1Click();
    void rbDiscCmd1Click();
    void btnPrnSubtotalClick();
    void btnSaleOKClick();
    void btnSaleVoidClick();
    void btnPostponeClick();
    void btnCancelPostponeClick();
    // The receipt was set aside, or one set aside was taken up.
    void afterPostpone();
    void afterResume(bool discountEnabled);

    // The sale list's lines as shown, in order.
    QStringList saleLines() const;
    QString totalText() const { return receipt_.totalText(); }
    ReceiptModel& receipt() { return receipt_; }

  signals:
    // "OK", "Void" and "Postpone": the pages that finish the receipt take over.
    void payRequested();
    void voidRequested();
    void postponeRequested(bool discountEnabled);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void afterAcceptedSale(const SaleLine& line);
    // The page's controls for a receipt just begun or taken up.
    void showFresh();
    void updateSoldQuantity(const QString& barcode, bool isSale, double quantity);
    QString displayed(const QDoubleSpinBox* box) const;

    QLineEdit* edBarcode = nullptr;
    QLineEdit* edName = nullptr;
    PriceEdit* edPrice = nullptr;
    QLineEdit* edUnit = nullptr;
    QComboBox* cbDepId = nullptr;
    QDoubleSpinBox* edQty = nullptr;
    QDoubleSpinBox* edRtnPrice = nullptr;
    QPushButton* btnSaleItem = nullptr;
    QListView* SaleList = nullptr;
    QPushButton* btnCancelItem = nullptr;
    QPushButton* btnPrnSubtotal = nullptr;
    QPushButton* btnPostpone = nullptr;
    QPushButton* btnCancelPostpone = nullptr;
    QPushButton* btnSaleOK = nullptr;
    QPushButton* btnSaleVoid = nullptr;
    QPushButton* BackBtn7 = nullptr;
    QLineEdit* edTotal = nullptr;
    QPushButton* btnSale200 = nullptr;
    QLineEdit* edBatch = nullptr;
    QGroupBox* grpChangePrice = nullptr;
    QGroupBox* grpCalcBy = nullptr;
    QGroupBox* grpChangedFrom = nullptr;
    QRadioButton* rbDiscCmd1 = nullptr;
    QRadioButton* rbDiscCmd2 = nullptr;
    QRadioButton* rbDiscAmt1 = nullptr;
    QRadioButton* rbDiscAmt2 = nullptr;
    QRadioButton* rbDiscBase1 = nullptr;
    QRadioButton* rbDiscBase2 = nullptr;
    QLineEdit* edDiscRate = nullptr;
    QLabel* lbPercentMark = nullptr;
    ReceiptModel& receipt_;
    QPushButton* bbtnDiscount = nullptr;
};
