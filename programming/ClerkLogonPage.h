#pragma once
// Page 25, "ClerkLogon": a clerk's password and name, or a clerk's logon;
// "Clerk Log Out" of the menu is handled here too.

#include "core/Page.h"

class QLineEdit;

namespace prog {
class MaskEdit;
}

class ClerkLogonPage : public Page {
    Q_OBJECT
  public:
    explicit ClerkLogonPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnSetClerkPwdClick();
    void bbtnClerkLogonClick();
    void btnExecClerkPwdClick();
    void btnExecClerkLogonClick();
    void Button7Click();

  private:
    // The clerk number: the digit in the field, 0 when it is blank.
    int clerkNumber() const;
    // True when the password is long enough; otherwise shows the message.
    bool passwordLongEnough();

    prog::MaskEdit* edClerk = nullptr;
    QLineEdit* edClerkPwd = nullptr;
    QLineEdit* edClerkName = nullptr;
    QPushButton* btnExecClerkPwd = nullptr;
    QPushButton* btnExecClerkLogon = nullptr;
};
