#pragma once
// Page 9, "Pay": up to three payment lines (payment type by currency), the
// buyer's identification, and the settled check.

#include "core/Page.h"
#include "receipt/ReceiptModel.h"

class QLabel;
class QLineEdit;
class QMenu;
class QAction;

class PayPage : public Page {
    Q_OBJECT
  public:
    PayPage(ConsoleContext& ctx, ReceiptModel& receipt, QWidget* parent = nullptr);

    // The sale page's "Pay": reads the exchange rates and the amount due, then opens this page.
    void openFromSale();
    void btnPayClick();
    void Button9Click();
    // The printer's system number, set from this page.
    void btnSetSysNumClick();
    void Pay1BtnClick() {}

    // The menu handlers: choosing an entry sets the button's caption and tag.
    void mniGOTOWKA1Click(QAction* entry);   // pm1 -> btnPayCashold
    void GOTOWKA1Click(QAction* entry);      // pm2 -> btnPayCashNew
    void MenuItem4Click(QAction* entry);     // pm6 -> btnPay2
    void mniSPRZEDAZY1Click(QAction* entry); // pm3 -> btnPayInCashOld
    void mniSPRZEDAZY2Click(QAction* entry); // pm4 -> btnPayInCashNew
    void MenuItem1Click(QAction* entry);     // pm5 -> btnCurrency2
    void NIPnabywcy1Click(QAction* entry);   // PopupMenu1 -> RzMenuButton1

    // The tag a menu button keeps (the chosen entry).
    static int tagOf(const QPushButton* button);
    // Payment code of a line: payment type tag + 3 x currency tag.
    static int paymentCode(int typeTag, int currencyTag) { return typeTag + 3 * currencyTag; }
    // The buyer identification text: the kind's digit, then the text padded to 17.
    static QString buyerIdText(int kindTag, const QString& id);

  private:
    ReceiptModel& receipt_;
    QLineEdit* edSystemNumber = nullptr;
    QPushButton* menuButton(const char* name, const QString& caption, const char* menuName,
                            const QList<QPair<const char*, QString>>& entries, int x, int y, int w,
                            void (PayPage::*handler)(QAction*));
    void choose(QPushButton* button, QAction* entry);
    void applyCurrencyCaptions();
    double inSaleCurrency(double amount, int currencyTag) const;

    QLabel* TotalLabel = nullptr;
    QPushButton* btnPayInCashOld = nullptr;
    QLineEdit* CashEdit = nullptr;
    QPushButton* btnPayCashold = nullptr;
    QPushButton* btnPayInCashNew = nullptr;
    QLineEdit* NewCashEdit = nullptr;
    QPushButton* btnPayCashNew = nullptr;
    QPushButton* btnCurrency2 = nullptr;
    QLineEdit* NewCash2 = nullptr;
    QPushButton* btnPay2 = nullptr;
    QPushButton* btnPay = nullptr;
    QLabel* lblExchangeRate = nullptr;
    QLabel* ExchangeRate = nullptr;
    QPushButton* RzMenuButton1 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QPushButton* Button9 = nullptr;
    QPushButton* btnPayBackToMain = nullptr;
    QMenu* pm3 = nullptr;
    QMenu* pm4 = nullptr;
    QMenu* pm5 = nullptr;
};
