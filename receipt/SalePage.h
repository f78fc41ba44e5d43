#pragma once
// Page 8, "Sale": the receipt being built, its local mirror (sale list and
// running total), item cancel, discount and increase.

#include "app/Page.h"

#include <QStringList>

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class PriceEdit;

// A sale line: nine fields joined by "---".
namespace saleline {
inline const QString kSeparator = QStringLiteral("---");
constexpr int kQuantity = 0, kUnit = 1, kPrice = 2, kTaxLetter = 3, kName = 4, kLineTotal = 5,
              kReturnPrice = 6, kBarcode = 7, kChanged = 8;
constexpr int kFields = 9;
// The fields of a line, or an empty list and a message when it has fewer than `needed`.
QStringList fields(const QString& line, int needed, QString* message);
} // namespace saleline

class SalePage : public Page {
    Q_OBJECT
  public:
    explicit SalePage(ConsoleContext& ctx, QWidget* parent = nullptr);
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

    // The sale list's lines, in order.
    QStringList saleLines() const;
    void setSaleLines(const QStringList& lines);
    QString totalText() const;
    void setTotalText(const QString& text);
    bool discountEnabled() const;
    void setDiscountEnabled(bool enabled);
    void setCancelPostponeEnabled(bool enabled);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void afterAcceptedSale(const QString& line, double lineTotal, const QString& barcode, double quantity);
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
    QListWidget* SaleList = nullptr;
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
    QPushButton* bbtnDiscount = nullptr;
};
