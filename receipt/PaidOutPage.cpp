#include "receipt/PaidOutPage.h"

#include "core/EntryRules.h"

#include <QLineEdit>

PaidOutPage::PaidOutPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::PaidOut, QStringLiteral("PaidOut"), parent) {
    PaidOutEdit = make<QLineEdit>("PaidOutEdit", 264, 80, 160, 22);
    PaidOutEdit->setMaxLength(10);
    NumericKeyFilter::install(PaidOutEdit, true);
    auto* exec = makeButton("PaidOutBtn1", QStringLiteral("Paid Out"), 264, 130);
    makeBackButton("BackBtn6", QStringLiteral("Back To Menu"), 663, 256);
    onClick(exec, [this] { PaidOutBtn1Click(); });
}

void PaidOutPage::attach() {
    onMenu(MenuCommand::PaidOut, [this] { bbtnPaidOutClick(); });
}

void PaidOutPage::bbtnPaidOutClick() {
    ctx_.nav.show(PageId::PaidOut);
}

void PaidOutPage::PaidOutBtn1Click() {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    const double amount = RoundDecimals(TextToAmount(PaidOutEdit->text(), 0), 2);
    if (ctx_.frame.run(protocol::cmd::cmPaidOut, [&] { return dev::Args{dev::Arg::real(amount)}; },
                       {.showCode = false}))
        ctx_.nav.show(PageId::Menu);
}
