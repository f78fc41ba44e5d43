#pragma once
// Page 33, "SetParameter": the printer's option flags; "SleepMode" of the menu
// is handled here too.

#include "core/Page.h"

class QCheckBox;

class SetParameterPage : public Page {
    Q_OBJECT
  public:
    explicit SetParameterPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void btn1Click();
    void btn2Click();
    void Button8Click();

  private:
    QCheckBox* chk1 = nullptr;
    QCheckBox* chk2 = nullptr;
};
