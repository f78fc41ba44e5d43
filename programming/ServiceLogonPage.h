#pragma once
// Page 23, "SeviceLogon": the service technician's logon, which admits the
// service commands of the console ("Set Tax ID").

#include "core/Page.h"

class QLineEdit;

class ServiceLogonPage : public Page {
    Q_OBJECT
  public:
    explicit ServiceLogonPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnServiceLogonClick();
    void bbtnExecServiceLogonClick();

  private:
    QLineEdit* edServicePwd = nullptr;
};
