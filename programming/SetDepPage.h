#pragma once
// Page 10, "SetDep": one department's number, name and VAT letter.

#include "core/Page.h"

class QComboBox;
class QLineEdit;

class SetDepPage : public Page {
    Q_OBJECT
  public:
    explicit SetDepPage(ConsoleContext& ctx, QWidget* parent = nullptr);

    // The menu buttons "Set Department" and "Upload Department" are hidden and
    // bound to nothing; these handlers are there for whoever shows them.
    void bbtnSetDeptClick();
    void bbtnUploadDepartClick();
    void bbtnExecSetDeptClick();

  private:
    QComboBox* cbDepID2 = nullptr;
    QLineEdit* edDepName = nullptr;
    QComboBox* cbTaxType = nullptr;
};
