#pragma once
// Page 18, "SetID": the printer's identity (ID code and number) and, in its
// second mode, the review of the printer's state before fiscalisation.

#include "core/AnswerDecoders.h"
#include "core/Page.h"

#include <QList>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTableWidget;

class SetIdPage : public Page {
    Q_OBJECT
  public:
    explicit SetIdPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    // Menu buttons.
    void bbtnSetIdClick();
    void bbtnEnterFiscalModeClick();
    // Page buttons.
    void btnExecSetIDClick();
    void btnExecEnterFiscalModeClick();

    // The review controls, shown together or hidden together.
    void setReviewVisible(bool visible);
    bool reviewVisible() const;
    // What the review's reads found, shown in the review controls.
    void showHardwareReview(const answers::HardwareStatus& status);
    void showSoftwareReview(const answers::SoftwareStatus& status);
    void showRatesReview(const answers::TaxRates& rates);
    void showHeaderLinesReview(const answers::UploadRows& rows);
    void showCurrencyReview(const QString& saleCurrency);

  signals:
    // The review reads the programmed currencies too; the currency page answers.
    void currencyReviewRequested();

  private:
    QLineEdit* edIDCode = nullptr;
    QLineEdit* edIDNo = nullptr;
    QPushButton* btnExecSetID = nullptr;
    QPushButton* btnExecEnterFiscalMode = nullptr;
    QList<QWidget*> review_;
};
