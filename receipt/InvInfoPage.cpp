#include "receipt/InvInfoPage.h"

#include "core/EntryRules.h"

#include <QComboBox>
#include <QLabel>

InvInfoPage::InvInfoPage(ConsoleContext& ctx, ReceiptModel& receipt, QWidget* parent)
    : Page(ctx, PageId::InvInfo, QStringLiteral("InvInfo"), parent), receipt_(receipt) {
    auto* l = make<QLabel>("Label70", 30, 60, 160, 22);
    l->setText(QStringLiteral("Postpone Receipt No.:"));
    cbRecNo = make<QComboBox>("cbRecNo", 194, 60, 80, 22);
    cbRecNo->addItems({QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")});
    cbRecNo->setEditable(false);
    cbRecNo->setCurrentIndex(-1);
    auto* exec = makeButton("btnExecCancelPostpone", QStringLiteral("Complete Postpone"), 194, 110);
    auto* back = makeButton("bbtnBackSale", QStringLiteral("Back To Sale"), 663, 256);
    onClick(exec, [this] { btnExecCancelPostponeClick(); });
    onClick(back, [this] { bbtnBackSaleClick(); });
}

void InvInfoPage::btnPostponeClick(bool discountEnabled) {
    if (receipt_.lines().empty())
        return;
    const double vat = receipt_.vatTotal(ctx_.VatRates);
    const double total = receipt_.totalValue();
    const int slot = receipt_.nextSlot();
    const auto answer = ctx_.frame.run(protocol::cmd::cmInvoiceInfo, [&] {
        return dev::Args{dev::Arg::integer(0), dev::Arg::integer(slot), dev::Arg::real(total),
                         dev::Arg::real(vat)};
    });
    if (!answer)
        return;
    receipt_.store(slot, receipt_.snapshot(vat, discountEnabled));
    receipt_.advanceSlot();
    receipt_.clear();
    emit postponed();
}

void InvInfoPage::btnExecCancelPostponeClick() {
    if (!receipt_.lines().empty())
        return;
    const int slot = cbRecNo->currentText().toInt();
    if (!receipt_.postponed(slot))
        return;
    const ReceiptModel::Snapshot stored = *receipt_.postponed(slot);
    const double total = static_cast<double>(stored.total) / 100.0;
    const auto answer = ctx_.frame.run(protocol::cmd::cmInvoiceInfo, [&] {
        return dev::Args{dev::Arg::integer(1), dev::Arg::integer(slot), dev::Arg::real(total),
                         dev::Arg::real(stored.vat)};
    });
    if (!answer)
        return;
    receipt_.restore(stored);
    receipt_.release(slot);
    receipt_.setNextSlot(slot);
    emit resumed(stored.discountEnabled);
}

void InvInfoPage::bbtnBackSaleClick() {
    ctx_.nav.show(PageId::Sale);
}
