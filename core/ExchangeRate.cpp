#include "core/ExchangeRate.h"

#include "core/EntryRules.h"
#include "device/Cp1250.h"
#include "protocol/Layouts.h"

namespace {

// The field's bytes into out, only when the answer holds all of it.
bool field(const QByteArray& answer, const protocol::Field& f, QByteArray& out) {
    if (f.offset < 0 || f.width < 0 || answer.size() < f.end())
        return false;
    out = answer.mid(f.offset, f.width);
    return true;
}

QString modeOf(char c) {
    if (c == 'A')
        return QStringLiteral("1");
    if (c == 'B')
        return QStringLiteral("2");
    return QString();
}

} // namespace

QString ExchangeRateText(const QByteArray& raw, const QLocale& locale) {
    const QString sep = locale.decimalPoint();
    qsizetype i = 0;
    while (i < raw.size() && raw.at(i) == '0')
        ++i;
    QString text;
    bool haveSeparator = false;
    for (; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c == ',') {
            if (!haveSeparator && !text.contains(sep)) {
                text += sep;
                haveSeparator = true;
            }
            continue;
        }
        text += dev::fromCp1250(&c, 1);
    }
    text = text.trimmed();
    if (text.startsWith(sep))
        text.prepend(QLatin1Char('0'));
    return text;
}

ExchangeRateAnswer ParseExchangeRate(const QByteArray& answer, const QLocale& locale) {
    namespace xr = protocol::ExchangeRate;
    ExchangeRateAnswer r;
    if (answer.size() <= kExchangeRateMinimum)
        return r;
    QByteArray f;
    if (field(answer, xr::AmountDue, f)) {
        bool digits = true;
        for (char c : f)
            digits = digits && c >= '0' && c <= '9';
        if (digits) {
            QByteArray whole = f.left(xr::AmountDue.width - 2); // then two digits of grosz
            while (whole.size() > 1 && whole.at(0) == '0')
                whole.remove(0, 1);
            if (whole == "0" || whole.isEmpty())
                whole = "0";
            r.amountDue =
                QString::fromLatin1(whole) + locale.decimalPoint() + QString::fromLatin1(f.right(2));
            r.hasAmountDue = true;
        }
    }
    // The currency of sale has a code only; each foreign one a code, a rate and its direction.
    const protocol::Field codes[3] = {xr::SaleCode, xr::FirstCode, xr::SecondCode};
    for (std::size_t e = 0; e < 3; ++e)
        if (field(answer, codes[e], f))
            r.currencies[e].code = dev::fromCp1250(f);
    const struct {
        std::size_t entry;
        protocol::Field rate, mode;
    } foreign[] = {{1, xr::FirstRate, xr::FirstMode}, {2, xr::SecondRate, xr::SecondMode}};
    for (const auto& x : foreign) {
        CurrencyEntry& c = r.currencies[x.entry];
        if (field(answer, x.rate, f)) {
            c.rateText = ExchangeRateText(f, locale);
            c.rate = TextToAmount(c.rateText, 0, locale);
        }
        if (field(answer, x.mode, f))
            c.mode = modeOf(f.at(0));
    }
    return r;
}
