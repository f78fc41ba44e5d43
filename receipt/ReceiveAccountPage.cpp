#include "receipt/ReceiveAccountPage.h"

#include "core/EntryRules.h"

#include <QLabel>
#include <QLineEdit>

ReceiveAccountPage::ReceiveAccountPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::ReceiveAccount, QStringLiteral("ReceiveAccount"), parent) {
    auto* l = new QLabel(QStringLiteral("Cash:"), this);
    l->setObjectName(QStringLiteral("lblCashIntoDrawer"));
    l->setGeometry(200, 80, 60, 22);
    ReceiveAccountEdit = make<QLineEdit>("ReceiveAccountEdit", 264, 80, 160, 22);
    ReceiveAccountEdit->setMaxLength(10);
    NumericKeyFilter::install(ReceiveAccountEdit, true);
    auto* exec = makeButton("bbtnReceiveCash", QStringLiteral("Cash Into Drawer"), 264, 130);
    makeBackButton("BackBtn5", QStringLiteral("Back To Menu"), 663, 256);
    onClick(exec, [this] { bbtnReceiveCashClick(); });
}

void ReceiveAccountPage::attach() {
    onMenu(MenuCommand::ReceiveAccount, [this] { bbtnReceiveAccountClick(); });
    onMenu(MenuCommand::CashInDrawer, [this] { bbtnCashInDrawClick(); });
    onMenu(MenuCommand::OpenDrawer, [this] { btnOpenDrawerClick(); });
}

void ReceiveAccountPage::bbtnReceiveAccountClick() {
    ctx_.nav.show(PageId::ReceiveAccount);
}

void ReceiveAccountPage::bbtnReceiveCashClick() {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    const double amount = TextToAmount(ReceiveAccountEdit->text(), 0);
    if (ctx_.frame.run(protocol::cmd::cmReceiveCash, [&] { return dev::Args{dev::Arg::real(amount)}; },
                       {.showCode = false}))
        ctx_.nav.show(PageId::Menu);
}

void ReceiveAccountPage::bbtnCashInDrawClick() {
    ctx_.frame.run(protocol::cmd::cmCashInDrawer, [] { return dev::Args{}; }, {.showCode = false});
}

void ReceiveAccountPage::btnOpenDrawerClick() {
    ctx_.frame.run(protocol::cmd::cmOpenDrawer, [] { return dev::Args{}; }, {.showCode = false});
}
