#pragma once
// Page 22, "SetTaxID": the owner's tax ID and the grouping it is printed in;
// admitted only after a service logon. "ECR number set" and the identity
// commands live on their own pages.

#include "core/Page.h"

namespace prog {
class MaskEdit;
}

class SetTaxIdPage : public Page {
    Q_OBJECT
  public:
    explicit SetTaxIdPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnUserModeClick();
    void btnExecEnterUserModeClick();

  private:
    prog::MaskEdit* edTaxID = nullptr;
    prog::MaskEdit* edIDFmt = nullptr;
};
