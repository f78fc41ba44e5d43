#include "programming/ServiceLogonPage.h"

#include "core/ProgrammingWidgets.h"
#include "programming/ProgrammingRules.h"

#include <QLabel>
#include <QLineEdit>

ServiceLogonPage::ServiceLogonPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::ServiceLogon, QStringLiteral("SeviceLogon"), parent) {
    make<QLabel>("Label90", 40, 43, 120, 17)->setText(QStringLiteral("Service Password"));
    edServicePwd = make<QLineEdit>("edServicePwd", 170, 40, 120, 22);
    edServicePwd->setMaxLength(8);
    edServicePwd->setEchoMode(QLineEdit::Password);
    prog::installKeyFilter(edServicePwd,
                           [](const QString&, QChar& key) { return prog::FilterDigitKey(key); });
    onClick(makeButton("bbtnExecServiceLogon", QStringLiteral("Service Logon"), 40, 100),
            [this] { bbtnExecServiceLogonClick(); });
    makeBackButton("BitBtn14");
}

void ServiceLogonPage::attach() {
    onMenu(MenuCommand::ServiceLogon, [this] { bbtnServiceLogonClick(); });
}

void ServiceLogonPage::bbtnServiceLogonClick() {
    ctx_.nav.show(PageId::ServiceLogon);
}

void ServiceLogonPage::bbtnExecServiceLogonClick() {
    // The password leaves the field on every path, an exception included.
    struct Empty {
        QLineEdit* edit;
        ~Empty() { edit->clear(); }
    } empty{edServicePwd};
    const auto answer = ctx_.frame.run(protocol::cmd::cmServiceLogon,
                                       [this] { return dev::Args{dev::Arg::text1250(edServicePwd->text())}; },
                                       {.showCode = false});
    ctx_.ServiceLoggedOn = answer.has_value();
    if (answer)
        ctx_.nav.show(PageId::Menu);
}
