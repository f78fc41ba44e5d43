#include "programming/ClerkLogonPage.h"

#include "core/ProgrammingWidgets.h"
#include "core/SafeFormat.h"
#include "programming/ProgrammingRules.h"

#include <QLabel>
#include <QLineEdit>

ClerkLogonPage::ClerkLogonPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::ClerkLogon, QStringLiteral("ClerkLogon"), parent) {
    make<QLabel>("Label98", 40, 33, 90, 17)->setText(QStringLiteral("Clerk"));
    edClerk = make<prog::MaskEdit>("edClerk", 140, 30, 30, 22);
    edClerk->setup(QStringLiteral("0"), QString());
    make<QLabel>("Label104", 40, 68, 90, 17)->setText(QStringLiteral("Password"));
    edClerkPwd = make<QLineEdit>("edClerkPwd", 140, 65, 60, 22);
    edClerkPwd->setMaxLength(3);
    edClerkPwd->setEchoMode(QLineEdit::Password);
    prog::installKeyFilter(edClerkPwd, [](const QString&, QChar& key) { return prog::FilterDigitKey(key); });
    make<QLabel>("Label106", 40, 103, 90, 17)->setText(QStringLiteral("Name"));
    edClerkName = make<QLineEdit>("edClerkName", 140, 100, 160, 22);
    edClerkName->setMaxLength(14);
    btnExecClerkPwd = makeButton("btnExecClerkPwd", QStringLiteral("Set Password"), 40, 150);
    onClick(btnExecClerkPwd, [this] { btnExecClerkPwdClick(); });
    btnExecClerkLogon = makeButton("btnExecClerkLogon", QStringLiteral("Logon"), 40, 150);
    onClick(btnExecClerkLogon, [this] { btnExecClerkLogonClick(); });
    makeBackButton("BitBtn16");
}

void ClerkLogonPage::attach() {
    onMenu(MenuCommand::SetClerkPassword, [this] { bbtnSetClerkPwdClick(); });
    onMenu(MenuCommand::ClerkLogon, [this] { bbtnClerkLogonClick(); });
    onMenu(MenuCommand::ClerkLogout, [this] { Button7Click(); });
}

void ClerkLogonPage::bbtnSetClerkPwdClick() {
    ctx_.nav.show(PageId::ClerkLogon);
    btnExecClerkPwd->setVisible(true);
    btnExecClerkLogon->setVisible(false);
}

void ClerkLogonPage::bbtnClerkLogonClick() {
    ctx_.nav.show(PageId::ClerkLogon);
    btnExecClerkPwd->setVisible(false);
    btnExecClerkLogon->setVisible(true);
}

int ClerkLogonPage::clerkNumber() const {
    bool ok = false;
    const int n = edClerk->text().trimmed().toInt(&ok);
    return ok ? n : 0;
}

bool ClerkLogonPage::passwordLongEnough() {
    const int required = edClerkPwd->maxLength();
    if (edClerkPwd->text().trimmed().size() >= required)
        return true;
    ctx_.errorBox(SafeFormat(ctx_.LocaleString(11471), {required}));
    return false;
}

void ClerkLogonPage::btnExecClerkPwdClick() {
    if (!passwordLongEnough())
        return;
    const auto answer = ctx_.frame.run(protocol::cmd::cmSetClerkPwd,
                                       [this] {
                                           return dev::Args{dev::Arg::integer(clerkNumber()),
                                                            dev::Arg::text1250(edClerkPwd->text()),
                                                            dev::Arg::text1250(edClerkName->text())};
                                       },
                                       {.showCode = false});
    if (answer)
        ctx_.nav.show(PageId::Menu);
}

void ClerkLogonPage::btnExecClerkLogonClick() {
    if (!passwordLongEnough())
        return;
    const auto answer = ctx_.frame.run(
        protocol::cmd::cmClerkLogon,
        [this] {
            return dev::Args{dev::Arg::integer(clerkNumber()), dev::Arg::text1250(edClerkPwd->text())};
        },
        {.showCode = false});
    if (answer)
        ctx_.nav.show(PageId::Menu);
}

void ClerkLogonPage::Button7Click() {
    ctx_.frame.run(protocol::cmd::cmClerkLogout, [] { return dev::Args{}; }, {.showCode = false});
}
