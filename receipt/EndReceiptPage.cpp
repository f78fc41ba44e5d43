#include "receipt/EndReceiptPage.h"

#include "core/EntryRules.h"
#include "programming/PluFile.h"

#include <QLabel>
#include <QLineEdit>

EndReceiptPage::EndReceiptPage(ConsoleContext& ctx, ReceiptModel& receipt, QWidget* parent)
    : Page(ctx, PageId::EndReceipt, QStringLiteral("EndReceipt"), parent), receipt_(receipt) {
    Label78 = make<QLabel>("Label78", 40, 60, 120, 22);
    Label78->setText(QStringLiteral("Footer Message:"));
    edFootMsg = make<QLineEdit>("edFootMsg", 164, 60, 300, 22);
    edFootMsg->setMaxLength(32);
    bbtnExecCancelRecp = makeButton("bbtnExecCancelRecp", QStringLiteral("Cancel Receipt"), 164, 120);
    bbtnExecCloseRecp = makeButton("bbtnExecCloseRecp", QStringLiteral("Set Foot Message"), 329, 120);
    bbtnExecCloseRecp->setVisible(false);
    BitBtn11 = makeBackButton("BitBtn11", QStringLiteral("Back To Menu"), 663, 256);
    onClick(bbtnExecCancelRecp, [this] { bbtnExecCancelRecpClick(); });
    onClick(bbtnExecCloseRecp, [this] { bbtnExecCloseRecpClick(); });
}

void EndReceiptPage::attach() {
    onMenu(MenuCommand::SetFootMessage, [this] { bbtnCloseRecpClick(); });
}

void EndReceiptPage::openForCancel() {
    edFootMsg->clear();
    edFootMsg->setVisible(false);
    Label78->setVisible(false);
    bbtnExecCancelRecp->setVisible(true);
    bbtnExecCloseRecp->setVisible(false);
    ctx_.nav.show(PageId::EndReceipt);
}

void EndReceiptPage::bbtnCloseRecpClick() {
    edFootMsg->clear();
    bbtnExecCancelRecp->setVisible(false);
    bbtnExecCloseRecp->move(bbtnExecCancelRecp->x(), bbtnExecCloseRecp->y());
    bbtnExecCloseRecp->setVisible(true);
    BitBtn11->setVisible(true);
    Label78->setVisible(true);
    edFootMsg->setVisible(true);
    ctx_.nav.show(PageId::EndReceipt);
}

void EndReceiptPage::bbtnExecCancelRecpClick() {
    const auto answer = ctx_.frame.run(protocol::cmd::cmReceiptCancel,
                                       [this] { return dev::Args{dev::Arg::text1250(edFootMsg->text())}; },
                                       {.showCode = false});
    if (!answer)
        return;
    ctx_.nav.show(PageId::Menu);
    receipt_.setOpen(false);
    if (!ctx_.plu.loaded())
        return;
    // Every sold line gives its quantity back; a line that cannot be saved is
    // named, and the others still count.
    QStringList problems;
    for (const SaleLine& line : receipt_.lines()) {
        const PluUpdateResult r = AddPluSoldQuantity(ctx_.plu, line.barcode, false, line.quantity);
        if (!r.ok())
            problems << r.message;
    }
    if (!problems.isEmpty())
        ctx_.errorBox(problems.join(QLatin1Char('\n')));
}

void EndReceiptPage::bbtnExecCloseRecpClick() {
    const auto answer = ctx_.frame.run(protocol::cmd::cmReceiptClose,
                                       [this] { return dev::Args{dev::Arg::text1250(edFootMsg->text())}; },
                                       {.showCode = false});
    if (!answer)
        return;
    ctx_.nav.show(PageId::Menu);
    receipt_.setOpen(false);
}
