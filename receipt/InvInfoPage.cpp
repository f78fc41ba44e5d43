#include "receipt/InvInfoPage.h"

#include "receipt/EntryRules.h"
#include "receipt/SalePage.h"

#include <QComboBox>
#include <QLabel>

InvInfoPage::InvInfoPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, 21, QStringLiteral("InvInfo"), parent) {
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

double InvInfoPage::ReceiptVatTotal() const {
    auto* sale = find<SalePage>(QStringLiteral("page8"));
    if (!sale)
        return 0.0;
    double vat = 0.0;
    for (const QString& line : sale->saleLines()) {
        const QStringList f = SplitText(line, saleline::kSeparator);
        if (f.size() <= saleline::kLineTotal)
            continue;
        const int group = TaxGroupOfLetter(f.at(saleline::kTaxLetter));
        if (group < 1 || group > 9)
            continue;
        const int stored = ctx_.VatRates[static_cast<std::size_t>(group - 1)];
        if (stored <= 0 || stored == 9999)
            continue;
        const double r = stored / 100.0;
        vat += RoundDecimals(r * TextToAmount(f.at(saleline::kLineTotal), 0) / (r + 100.0), 2);
    }
    return vat;
}

void InvInfoPage::btnPostponeClick() {
    auto* sale = find<SalePage>(QStringLiteral("page8"));
    if (!sale || sale->saleLines().isEmpty())
        return;
    const double vat = ReceiptVatTotal();
    const double total = TextToAmount(sale->totalText(), 0);
    const int slot = ctx_.receipt.NextPostponeSlot;
    const auto answer = ctx_.frame.run(protocol::cmd::cmInvoiceInfo, [&] {
        return dev::Args{dev::Arg::integer(0), dev::Arg::integer(slot), dev::Arg::real(total),
                         dev::Arg::real(vat)};
    });
    if (!answer)
        return;
    PostponedReceipt& stored = ctx_.receipt.slot(slot);
    stored.filled = true;
    stored.listText.clear();
    for (const QString& line : sale->saleLines())
        stored.listText += line + QLatin1Char('\n');
    stored.total = total;
    stored.vat = vat;
    stored.discountEnabled = sale->discountEnabled();
    ctx_.receipt.advancePostponeSlot();
    sale->bbtnSaleClick();
    sale->setCancelPostponeEnabled(true);
}

void InvInfoPage::btnExecCancelPostponeClick() {
    auto* sale = find<SalePage>(QStringLiteral("page8"));
    if (!sale || !sale->saleLines().isEmpty())
        return;
    const int slot = cbRecNo->currentText().toInt();
    if (slot < 1 || slot > 3 || !ctx_.receipt.slot(slot).filled)
        return;
    const PostponedReceipt stored = ctx_.receipt.slot(slot);
    const auto answer = ctx_.frame.run(protocol::cmd::cmInvoiceInfo, [&] {
        return dev::Args{dev::Arg::integer(1), dev::Arg::integer(slot), dev::Arg::real(stored.total),
                         dev::Arg::real(stored.vat)};
    });
    if (!answer)
        return;
    sale->bbtnSaleClick();
    QStringList lines = stored.listText.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    sale->setSaleLines(lines);
    sale->setTotalText(FormatGeneral(stored.total));
    sale->setDiscountEnabled(stored.discountEnabled);
    ctx_.receipt.slot(slot) = PostponedReceipt{};
    ctx_.receipt.NextPostponeSlot = slot;
}

void InvInfoPage::bbtnBackSaleClick() {
    ctx_.showPage(8);
}
