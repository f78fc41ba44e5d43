#include "programming/ProgrammingRules.h"

#include "core/AnswerDecoders.h"
#include "core/EntryRules.h"
#include "device/Cp1250.h"

namespace prog {

namespace {
std::string conversionText(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text).toLocal8Bit().toStdString();
}
} // namespace

ConversionError::ConversionError(const QString& text) : std::runtime_error(conversionText(text)) {}

int StrToInt(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || text.trimmed().isEmpty() || text.trimmed() != text.trimmed().simplified())
        throw ConversionError(text);
    return v;
}

QString OneBytePerCharacter(const QString& text) {
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(composed.size());
    for (qsizetype i = 0; i < composed.size(); ++i) {
        const QChar c = composed[i];
        if (c.isHighSurrogate() && i + 1 < composed.size() && composed[i + 1].isLowSurrogate()) {
            out += QLatin1Char('?');
            ++i;
        } else if (c.isSurrogate()) {
            out += QLatin1Char('?');
        } else {
            out += c;
        }
    }
    return out;
}

QString FormatHeaderLine(const QString& typed, bool centre) {
    const QString text = OneBytePerCharacter(typed);
    const qsizetype length = text.size();
    if (length >= kHeaderLineWidth)
        return text.left(kHeaderLineWidth);
    if (!centre)
        return text.leftJustified(kHeaderLineWidth, QLatin1Char(' '));
    const qsizetype before = (kHeaderLineWidth - length) / 2;
    return (QString(before, QLatin1Char(' ')) + text).leftJustified(kHeaderLineWidth, QLatin1Char(' '));
}

QString BuildHeaderText(const std::array<QString, kHeaderLines>& lines,
                        const std::array<bool, kHeaderLines>& centre) {
    QString header;
    header.reserve(kHeaderLineWidth * kHeaderLines);
    for (int n = 0; n < kHeaderLines; ++n)
        header += FormatHeaderLine(lines[n], centre[n]);
    return header;
}

int VatRateValue(const QString& displayed) {
    bool ok = false;
    const int v = displayed.toInt(&ok, 10);
    // Only digits count: a sign or a blank position makes the field "not a whole number".
    if (!ok || displayed.isEmpty())
        return 255;
    for (QChar c : displayed)
        if (!c.isDigit() || c.unicode() > 127)
            return 255;
    return v;
}

TaxIdFormat TaxIdFormatValue(const QString& text) {
    const QString t = text.trimmed();
    int sum = 0;
    int packed = 0;
    for (QChar c : t) {
        if (c.unicode() < '0' || c.unicode() > '9')
            throw ConversionError(QString(c));
        const int digit = c.unicode() - '0';
        sum += digit;
        packed = packed * 16 + digit;
    }
    TaxIdFormat f;
    if (t.size() < 4 || (sum != 0 && sum != 10))
        return f;
    f.result = TaxIdFormat::Result::Ok;
    f.value = packed;
    return f;
}

QByteArray ParameterText(bool displayErrorCode, bool printExchangeRateInfo) {
    QByteArray text("81");
    text += displayErrorCode ? '0' : '1';
    text += printExchangeRateInfo ? '0' : '1';
    text += QByteArray(30, '0');
    return text;
}

QString CurrencyNamesText(const QString& first, const QString& second) {
    QString names = first.trimmed().leftJustified(3, QLatin1Char(' '));
    names += second.trimmed();
    return names.leftJustified(6, QLatin1Char(' '));
}

QString RateFromDevice(const QByteArray& deviceRate, QChar decimalSeparator) {
    const QString raw = dev::fromCp1250(deviceRate);
    QString out;
    qsizetype i = 0;
    while (i < raw.size() && raw[i] == QLatin1Char('0'))
        ++i;
    bool haveSeparator = false;
    for (; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == QLatin1Char(',')) {
            if (!haveSeparator) {
                out += decimalSeparator;
                haveSeparator = true;
            }
            continue;
        }
        if (c == decimalSeparator)
            haveSeparator = true;
        out += c;
    }
    out = out.trimmed();
    if (out.startsWith(decimalSeparator)) {
        out.remove(decimalSeparator);
        out.prepend(QStringLiteral("0") + decimalSeparator);
    }
    return out;
}

QString BcdText(unsigned char b) {
    return QStringLiteral("%1").arg(static_cast<uint>(b), 2, 16, QLatin1Char('0')).toUpper();
}

CurrencyChange ParseCurrencyChange(const QByteArray& answer, QChar decimalSeparator) {
    namespace cc = protocol::CurrencyChange;
    using answers::fieldBytes;
    using answers::fieldChar;
    CurrencyChange c;
    if (answer.size() < kCurrencyChangeMinLength)
        return c;
    const char d1 = fieldChar(answer, cc::FirstMode);
    if (d1 != 'A' && d1 != 'B') {
        c.state = CurrencyChange::State::NotSet;
        return c;
    }
    c.state = CurrencyChange::State::Set;
    const auto bcd = [&](const protocol::Field& f) {
        return BcdText(static_cast<unsigned char>(fieldChar(answer, f)));
    };
    c.year = bcd(cc::Year);
    c.month = bcd(cc::Month);
    c.day = bcd(cc::Day);
    c.hour = bcd(cc::Hour);
    c.minute = bcd(cc::Minute);
    c.name = answers::fieldText(answer, cc::NewCode);
    c.rate1 = {RateFromDevice(fieldBytes(answer, cc::FirstRate), decimalSeparator), QLatin1Char(d1)};
    if (answer.size() >= kCurrencyChangeFullLength) {
        c.secondName = answers::fieldText(answer, cc::SecondCode).trimmed();
        c.rate2 = {RateFromDevice(fieldBytes(answer, cc::SecondRate), decimalSeparator),
                   QLatin1Char(fieldChar(answer, cc::SecondMode))};
    }
    return c;
}

bool FilterDigitKey(QChar key) {
    return !FilterNumericKey(key, false).isNull();
}

bool FilterLetterKey(QChar key) {
    return key == kBackspace || (key >= QLatin1Char('A') && key <= QLatin1Char('Z')) ||
           (key >= QLatin1Char('a') && key <= QLatin1Char('z'));
}

bool FilterRateKey(const QString& text, QChar key, QChar decimalSeparator) {
    if (text.isEmpty() && key == decimalSeparator)
        return false;
    if (!FilterDigitKey(key) && key != decimalSeparator)
        return false;
    const qsizetype at = text.indexOf(decimalSeparator);
    if (at >= 0) {
        const qsizetype p = at + 1; // counting from 1
        if (key == decimalSeparator)
            return false;
        if (text.size() >= p + 7 && key != kBackspace)
            return false;
    } else if (text.size() >= 6 && key != kBackspace && key != decimalSeparator) {
        return false;
    }
    return true;
}

} // namespace prog
