#pragma once
// Page 29, "PrinterSpeed": the print density. The firmware update buttons of
// the top panel are handled here too.

#include "core/Page.h"

class QComboBox;

class PrinterSpeedPage : public Page {
    Q_OBJECT
  public:
    explicit PrinterSpeedPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnPrinterSpeedClick();
    void bbtnSetPrinterSpeedClick();
    void UpdateProgramBtnClick();
    void btnUpdateFullProgramClick();

  private:
    void updateProgram(int full);
    QComboBox* cbDensity = nullptr;
};
