#include "programming/SetVatRatePage.h"

#include "core/ProgrammingWidgets.h"
#include "programming/ProgrammingRules.h"

#include <QComboBox>
#include <QLabel>

SetVatRatePage::SetVatRatePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SetVatRate, QStringLiteral("SetVarRate"), parent) {
    static const char* const taxLabels[] = {"lblTaxA", "lblTaxB", "lblTaxC", "lblTaxD", "lblTaxE", "lblTaxF",
                                            "lblTaxG", "lblTaxH", "lblTaxI", "lblTaxJ", "lblTaxK", "lblTaxL"};
    static const char* const percentLabels[] = {"lblTaxAP", "lblTaxBP", "lblTaxCP", "lblTaxDP",
                                                "lblTaxEP", "lblTaxFP", "lblTaxGP", "lblTaxHP",
                                                "lblTaxIP", "lblTaxJP", "lblTaxKP", "lblTaxLP"};
    for (int i = 0; i < 12; ++i) {
        const int column = i < 5 ? 0 : (i < 9 ? 1 : 2);
        const int row = i < 5 ? i : (i < 9 ? i - 5 : i - 9);
        const int x = 20 + column * 200;
        const int y = 10 + row * 28;
        const bool shown = i < 9;
        auto* caption = make<QLabel>(taxLabels[i], x, y + 3, 50, 17);
        caption->setText(QStringLiteral("Tax %1:").arg(QChar('A' + i)));
        const QByteArray name = "PtuME" + QByteArray::number(i + 1);
        auto* edit = make<prog::MaskEdit>(name.constData(), x + 55, y, 60, 22);
        edit->setup(QStringLiteral("0000"), QStringLiteral("9999"));
        auto* percent = make<QLabel>(percentLabels[i], x + 120, y + 3, 15, 17);
        percent->setText(QStringLiteral("%"));
        if (!shown) {
            edit->setEnabled(false);
            for (QWidget* w : {static_cast<QWidget*>(caption), static_cast<QWidget*>(edit),
                               static_cast<QWidget*>(percent)})
                w->setVisible(false);
        }
    }

    make<QLabel>("lblFreeTaxType", 420, 13, 100, 17)->setText(QStringLiteral("Free Tax Type"));
    cbTaxType2 = make<QComboBox>("cbTaxType2", 520, 10, 60, 22);
    for (char c = 'A'; c <= 'I'; ++c)
        cbTaxType2->addItem(QString(QLatin1Char(c)));
    cbTaxType2->setCurrentIndex(-1);

    // The rate format notice, in Polish.
    QFont notice = font();
    notice.setBold(true);
    auto* line1 = make<QLabel>("Label48", 20, 160, 560, 18);
    line1->setText(QString::fromUtf8("STAWKI VAT NALEŻY WPISYWAĆ 4 CYFRAMI NP. 2200, 0700 DLA,"));
    line1->setFont(notice);
    auto* line2 = make<QLabel>("Label53", 20, 180, 560, 18);
    line2->setText(QString::fromUtf8("STAWKA 22% LUB 7% STAWKA NIEAKTYWNA TO 9999"));
    line2->setFont(notice);

    onClick(makeButton("SetVatRateBtn1", QStringLiteral("Set VAT Rate"), 20, 240),
            [this] { SetVatRateBtn1Click(); });
    makeBackButton("BackBtn3");
}

void SetVatRatePage::attach() {
    onMenu(MenuCommand::SetVatRate, [this] { SetVatRateBtnClick(); });
    onMenu(MenuCommand::UploadTaxRate, [this] { bbtnUploadTaxRateClick(); });
}

void SetVatRatePage::SetVatRateBtnClick() {
    ctx_.nav.show(PageId::SetVatRate);
}

std::array<int, 9> SetVatRatePage::rateValues() const {
    std::array<int, 9> rates{};
    for (int i = 0; i < 9; ++i) {
        const auto* edit = find<QLineEdit>(QStringLiteral("PtuME%1").arg(i + 1));
        rates[i] = edit ? prog::VatRateValue(edit->displayText()) : 255;
    }
    return rates;
}

void SetVatRatePage::SetVatRateBtn1Click() {
    const auto answer = ctx_.frame.run(protocol::cmd::cmSetVatRate,
                                       [this] {
                                           ctx_.VatRates = rateValues();
                                           dev::Args args;
                                           for (int rate : ctx_.VatRates)
                                               args.push_back(dev::Arg::integer(rate));
                                           args.push_back(dev::Arg::text1250(cbTaxType2->currentText()));
                                           return args;
                                       },
                                       {.showCode = false});
    if (answer)
        ctx_.nav.show(PageId::Menu);
}

void SetVatRatePage::bbtnUploadTaxRateClick() {
    ctx_.frame.run(protocol::cmd::cmUploadTaxRate, [] { return dev::Args{}; });
}
