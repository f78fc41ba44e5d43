#include "receipt/ExchangeRate.h"

#include "device/Cp1250.h"
#include "core/EntryRules.h"

namespace {

// The field at [offset, offset + length), or nullopt-like empty when the answer
// does not hold all of it.
bool field(const QByteArray& answer, qsizetype offset, qsizetype length, QByteArray& out) {
    if (offset < 0 || length < 0 || answer.size() < offset + length)
        return false;
    out = answer.mid(offset, length);
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
    ExchangeRateAnswer r;
    if (answer.size() <= kExchangeRateMinimum)
        return r;
    QByteArray f;
    if (field(answer, 41, 10, f)) {
        bool digits = true;
        for (char c : f)
            digits = digits && c >= '0' && c <= '9';
        if (digits) {
            QByteArray whole = f.left(8);
            while (whole.size() > 1 && whole.at(0) == '0')
                whole.remove(0, 1);
            if (whole == "0" || whole.isEmpty())
                whole = "0";
            r.amountDue =
                QString::fromLatin1(whole) + locale.decimalPoint() + QString::fromLatin1(f.right(2));
            r.hasAmountDue = true;
        }
    }
    const qsizetype codeAt[3] = {2, 5, 23};
    for (int e = 0; e < 3; ++e)
        if (field(answer, codeAt[e], 3, f))
            r.currencies[static_cast<std::size_t>(e)].code = dev::fromCp1250(f);
    const qsizetype rateAt[3] = {0, 8, 26};
    const qsizetype modeAt[3] = {0, 22, 40};
    for (int e = 1; e < 3; ++e) {
        CurrencyEntry& c = r.currencies[static_cast<std::size_t>(e)];
        if (field(answer, rateAt[e], 14, f)) {
            c.rateText = ExchangeRateText(f, locale);
            c.rate = TextToAmount(c.rateText, 0, locale);
        }
        if (field(answer, modeAt[e], 1, f))
            c.mode = modeOf(f.at(0));
    }
    return r;
}
