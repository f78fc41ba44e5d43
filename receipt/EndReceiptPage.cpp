#include "receipt/EndReceiptPage.h"

#include "programming/PluFile.h"
#include "receipt/EntryRules.h"
#include "receipt/SalePage.h"

#include <QLabel>
#include <QLineEdit>

EndReceiptPage::EndReceiptPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 19, QStringLiteral("EndReceipt"), parent) {
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
    onClick(find<QPushButton>(QStringLiteral("bbtnCloseRecp")), [this] { bbtnCloseRecpClick(); });
}

void EndReceiptPage::openForCancel() {
    edFootMsg->clear();
    edFootMsg->setVisible(false);
    Label78->setVisible(false);
    bbtnExecCancelRecp->setVisible(true);
    bbtnExecCloseRecp->setVisible(false);
    ctx_.showPage(19);
}

void EndReceiptPage::bbtnCloseRecpClick() {
    edFootMsg->clear();
    bbtnExecCancelRecp->setVisible(false);
    bbtnExecCloseRecp->move(bbtnExecCancelRecp->x(), bbtnExecCloseRecp->y());
    bbtnExecCloseRecp->setVisible(true);
    BitBtn11->setVisible(true);
    Label78->setVisible(true);
    edFootMsg->setVisible(true);
    ctx_.showPage(19);
}

void EndReceiptPage::bbtnExecCancelRecpClick() {
    const auto answer = ctx_.frame.run(protocol::cmd::cmReceiptCancel,
                                       [this] { return dev::Args{dev::Arg::text1250(edFootMsg->text())}; },
                                       {.showCode = false});
    if (!answer)
        return;
    ctx_.showPage(1);
    ctx_.receipt.ReceiptOpen = false;
    if (!ctx_.plu.loaded())
        return;
    auto* sale = find<SalePage>(QStringLiteral("page8"));
    if (!sale)
        return;
    // Every sold line gives its quantity back; a line that cannot be read or
    // saved is named, and the others still count.
    QStringList problems;
    for (const QString& line : sale->saleLines()) {
        QString problem;
        const QStringList f = saleline::fields(line, saleline::kBarcode + 1, &problem);
        if (f.isEmpty()) {
            problems << problem;
            continue;
        }
        const PluUpdateResult r = AddPluSoldQuantity(ctx_.plu, f.at(saleline::kBarcode), false,
                                                     TextToAmount(f.at(saleline::kQuantity), 0));
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
    ctx_.showPage(1);
    ctx_.receipt.ReceiptOpen = false;
}
