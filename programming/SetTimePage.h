#pragma once
// Page 3, "SetTime": the printer's time, pre-filled from the workstation's clock.

#include "core/Page.h"

#include <QTime>

namespace prog {
class SpinEdit;
}

class SetTimePage : public Page {
    Q_OBJECT
  public:
    explicit SetTimePage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnSetTimeClick();
    void SetTimeBtn1Click();
    // Fills the fields from a time; the milliseconds are dropped.
    void fillFrom(const QTime& time);

  private:
    prog::SpinEdit* HourSE = nullptr;
    prog::SpinEdit* MinuteSE = nullptr;
    prog::SpinEdit* SecondSE = nullptr;
};
