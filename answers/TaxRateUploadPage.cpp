#include "answers/TaxRateUploadPage.h"

#include "core/AnswerDecoders.h"
#include "core/WidgetAccess.h"

#include <QLabel>

using answers::plainLabel;
using answers::setLabelText;

TaxRateUploadPage::TaxRateUploadPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::TaxRateUpload, QStringLiteral("TaxRateUpload"), parent) {
    auto* heading = plainLabel(make<QLabel>("Label109", 16, 6, 300, 22), QStringLiteral("TaxRate Uploaded"));
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    const char* captionNames[] = {"Label110", "Label111", "Label113", "Label115", "Label117",
                                  "Label119", "Label121", "Label123", "Label125"};
    for (int k = 0; k < 9; ++k) {
        const int x = k < 5 ? 30 : 260, y = 36 + 28 * (k % 5);
        const QString caption =
            k == 8 ? QStringLiteral("TAX I :") : QStringLiteral("TAX %1:").arg(QChar('A' + k));
        plainLabel(make<QLabel>(captionNames[k], x, y, 60, 20), caption);
        const QByteArray value = "lbRate" + QByteArray::number(k + 1);
        plainLabel(make<QLabel>(value.constData(), x + 65, y, 90, 20), QString());
    }
    plainLabel(make<QLabel>("Label127", 260, 148, 110, 20), QStringLiteral("Free Tax Depart:"));
    plainLabel(make<QLabel>("lbFreeDep", 375, 148, 60, 20), QString());
    makeBackButton("BitBtn12");
    answers::linkFields(ctx_, this, protocol::TaxRates::layout, fieldLinks());
}

std::span<const answers::FieldLink> TaxRateUploadPage::fieldLinks() {
    namespace tax = protocol::TaxRates;
    static constexpr answers::FieldLink links[] = {{"lbRate1", tax::RateA}, {"lbRate2", tax::RateB},
                                                   {"lbRate3", tax::RateC}, {"lbRate4", tax::RateD},
                                                   {"lbRate5", tax::RateE}, {"lbRate6", tax::RateF},
                                                   {"lbRate7", tax::RateG}, {"lbRate8", tax::RateH},
                                                   {"lbRate9", tax::RateI}, {"lbFreeDep", tax::ExemptLetter}};
    return links;
}

void TaxRateUploadPage::attach() {
    ctx_.decoders.registerDecoder(protocol::cmd::cmUploadTaxRate,
                                  [this](const QByteArray& a) { DecodeTaxRates(a); });
}

void TaxRateUploadPage::DecodeTaxRates(const QByteArray& answer) {
    const auto t = answers::decodeTaxRates(answer);
    if (!t) {
        ctx_.formatErrorBox();
        return;
    }
    if (ctx_.FiscalReviewMode) {
        emit reviewed(*t);
        return;
    }
    const auto rateLabel = [](int k) { return QStringLiteral("lbRate%1").arg(k + 1); };
    for (int k = 0; k < 9; ++k)
        setLabelText(this, rateLabel(k), t->rates[static_cast<std::size_t>(k)]);
    setLabelText(this, QStringLiteral("lbFreeDep"), t->exemptLetter);
    // A letter outside A to I names no rate: the nine rates stay as sent.
    if (t->exemptIndex >= 0)
        setLabelText(this, rateLabel(t->exemptIndex), QStringLiteral("PTU ZW"));
    ctx_.nav.show(PageId::TaxRateUpload);
}
