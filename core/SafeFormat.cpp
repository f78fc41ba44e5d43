#include "core/SafeFormat.h"

namespace {

struct Directive {
    bool leftAlign = false;
    bool zeroPad = false;
    bool plusSign = false;
    bool spaceSign = false;
    int width = 0;
    int precision = -1; // none
    QChar conversion;
    qsizetype end = 0; // index after the directive
};

// Reads a run of digits at `i`; false when the number exceeds the limit.
bool readNumber(const QString& format, qsizetype& i, int& value) {
    value = 0;
    while (i < format.size() && format.at(i).isDigit() && format.at(i).unicode() < 128) {
        value = value * 10 + (format.at(i).unicode() - '0');
        if (value > kSafeFormatMaxWidth)
            return false;
        ++i;
    }
    return true;
}

// Parses the directive whose '%' is at `start`; false when it is malformed or
// unknown.
bool parseDirective(const QString& format, qsizetype start, Directive& d) {
    qsizetype i = start + 1;
    for (; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'-')
            d.leftAlign = true;
        else if (c == u'0')
            d.zeroPad = true;
        else if (c == u'+')
            d.plusSign = true;
        else if (c == u' ')
            d.spaceSign = true;
        else if (c != u'#')
            break;
    }
    if (!readNumber(format, i, d.width))
        return false;
    if (i < format.size() && format.at(i) == u'.') {
        ++i;
        if (!readNumber(format, i, d.precision))
            return false;
    }
    for (int k = 0; k < 2 && i < format.size() && (format.at(i) == u'h' || format.at(i) == u'l'); ++k)
        ++i;
    if (i >= format.size())
        return false;
    const QChar c = format.at(i);
    if (c != u's' && c != u'd' && c != u'i')
        return false;
    d.conversion = c;
    d.end = i + 1;
    return true;
}

QString pad(const QString& text, const Directive& d) {
    if (text.size() >= d.width)
        return text;
    const QString fill(d.width - text.size(), u' ');
    return d.leftAlign ? text + fill : fill + text;
}

QString formatNumber(qlonglong value, const Directive& d) {
    const bool negative = value < 0;
    // Magnitude as unsigned, so that the smallest value does not overflow.
    const qulonglong magnitude =
        negative ? qulonglong(0) - static_cast<qulonglong>(value) : static_cast<qulonglong>(value);
    QString digits = (d.precision == 0 && magnitude == 0) ? QString() : QString::number(magnitude);
    if (d.precision > digits.size())
        digits.prepend(QString(d.precision - digits.size(), u'0'));
    const QString sign = negative      ? QStringLiteral("-")
                         : d.plusSign  ? QStringLiteral("+")
                         : d.spaceSign ? QStringLiteral(" ")
                                       : QString();
    if (d.zeroPad && !d.leftAlign && d.precision < 0 && sign.size() + digits.size() < d.width)
        digits.prepend(QString(d.width - sign.size() - digits.size(), u'0'));
    return pad(sign + digits, d);
}

} // namespace

QString SafeFormat(const QString& format, const QList<QVariant>& args) {
    QString out;
    out.reserve(format.size());
    qsizetype next = 0; // next argument
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format.at(i + 1) == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        Directive d;
        if (!parseDirective(format, i, d)) {
            out += c; // kept literally; the rest is read as ordinary text
            ++i;
            continue;
        }
        i = d.end;
        if (next >= args.size()) {
            ++next;
            continue; // a missing argument gives the empty text
        }
        const QVariant& arg = args.at(next++);
        if (d.conversion == u's') {
            QString text = arg.toString();
            if (d.precision >= 0 && text.size() > d.precision)
                text.truncate(d.precision);
            out += pad(text, d);
        } else {
            bool ok = false;
            const qlonglong value = arg.toLongLong(&ok);
            out += ok ? formatNumber(value, d) : pad(arg.toString(), d);
        }
    }
    return out;
}
