#pragma once
// Page 4, "SetVarRate": the nine VAT (PTU) rates A to I and the exempt letter.

#include "core/Page.h"

#include <array>

class QComboBox;

class SetVatRatePage : public Page {
    Q_OBJECT
  public:
    explicit SetVatRatePage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void SetVatRateBtnClick();
    void SetVatRateBtn1Click();
    void bbtnUploadTaxRateClick();

    // The nine values as they would be sent: each field's displayed text, 255
    // for a field that is not a whole number.
    std::array<int, 9> rateValues() const;

  private:
    QComboBox* cbTaxType2 = nullptr;
};
