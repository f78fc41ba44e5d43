#pragma once
// Page 34, "SetCurrencyName": the programmed currency change (date, new
// currency, one or two exchange rates with their directions), its read-back,
// and the currency names and exchange rates on their own. The fiscal
// currency reading of the fiscalisation review (Button12) is here too.

#include "core/Page.h"

#include <QDateTime>

class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace prog {
class SpinEdit;
}

class SetCurrencyNamePage : public Page {
    Q_OBJECT
  public:
    explicit SetCurrencyNamePage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void btnSetPoCurrencyClick();
    void fillFrom(const QDateTime& when);
    void btnUploadCurrencyClick();
    void btnSetCurrencyClick();
    void btnSetExChangeRateClick();
    void btnSetCurNameClick();
    void btnReadExchangeRateClick();
    void Button12Click();
    void grpExChangeExit();
    void grpExChangeMouseMove();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  signals:
    // The currency of sale as the exchange-rate answer gives it (empty while it is read).
    void saleCurrencyRead(const QString& code);

  private:
    void nameEdited(QLineEdit* edit);
    void updateSetButtons();
    dev::Args rateArgs() const; // rate 1, direction 1, rate 2, direction 2
    void fillFromAnswer(const QByteArray& answer);

    prog::SpinEdit* cuYearSE = nullptr;
    prog::SpinEdit* cuMonthSE = nullptr;
    prog::SpinEdit* cuDaySE = nullptr;
    prog::SpinEdit* cuHourSE = nullptr;
    prog::SpinEdit* cuMinSE = nullptr;
    QGroupBox* grpExChange = nullptr;
    QRadioButton* rbExchangeNewold = nullptr;
    QRadioButton* rbExchangeOldnew = nullptr;
    QLineEdit* ExchangeEdit1 = nullptr;
    QLineEdit* ExchangeEdit2 = nullptr;
    QLineEdit* edtCurrencyName = nullptr;
    QGroupBox* grp2 = nullptr;
    QRadioButton* rb1 = nullptr;
    QRadioButton* rb2 = nullptr;
    QLineEdit* edt1 = nullptr;
    QLineEdit* edt2 = nullptr;
    QLineEdit* edt3 = nullptr;
    QPushButton* btnSetCurName = nullptr;
    QPushButton* btnSetExChangeRate = nullptr;
};
