#pragma once
// Page 2, "SetDate": the printer's date, pre-filled from the workstation's clock.

#include "core/Page.h"

#include <QDate>

namespace prog {
class SpinEdit;
}

class SetDatePage : public Page {
    Q_OBJECT
  public:
    explicit SetDatePage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnSetDateClick();
    void SetDateBtn1Click();
    // Fills the fields from a date (the menu button uses today's).
    void fillFrom(const QDate& date);

  private:
    prog::SpinEdit* YearSE = nullptr;
    prog::SpinEdit* MonthSE = nullptr;
    prog::SpinEdit* DaySE = nullptr;
};
