#include "core/EntryRules.h"

#include <QLineEdit>

#include <algorithm>

#include <QEvent>
#include <QKeyEvent>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

QString decimalSeparator(const QLocale& locale) {
    const QString sep = locale.decimalPoint();
    return sep.isEmpty() ? QStringLiteral(".") : sep;
}

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QChar FilterNumericKey(QChar key, bool decimalAllowed, const QLocale& locale) {
    if (key.unicode() == 8 || isAsciiDigit(key))
        return key;
    if (decimalAllowed && key == decimalSeparator(locale).at(0))
        return key;
    return QChar();
}

bool TryTextToAmount(const QString& text, double& value, const QLocale& locale) {
    const QString sep = decimalSeparator(locale);
    const QString t = text.trimmed();
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(t.size()) + 2);
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        if (t[i] == QLatin1Char('-'))
            ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < n && isAsciiDigit(t[i])) {
        ascii += static_cast<char>(t[i].unicode());
        ++i;
        ++mantissaDigits;
    }
    if (i < n && QStringView(t).mid(i).startsWith(sep)) {
        ascii += '.';
        i += sep.size();
        while (i < n && isAsciiDigit(t[i])) {
            ascii += static_cast<char>(t[i].unicode());
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ascii += 'e';
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
            ascii += static_cast<char>(t[i].unicode());
            ++i;
        }
        int expDigits = 0;
        while (i < n && isAsciiDigit(t[i])) {
            ascii += static_cast<char>(t[i].unicode());
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    double v = 0.0;
    const char* first = ascii.data();
    const char* last = ascii.data() + ascii.size();
    const auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

double TextToAmount(const QString& text, double def, const QLocale& locale) {
    double v = 0.0;
    return TryTextToAmount(text, v, locale) ? v : def;
}

double RoundDecimals(double value, int places) {
    if (!std::isfinite(value) || value == 0.0)
        return value == 0.0 ? 0.0 : value;
    // 18 significant digits: d.ddddddddddddddddde+XX
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 17);
    const char* e = std::strchr(buf, 'e');
    int pointPos = (e ? std::atoi(e + 1) : 0) + 1; // digits before the point
    const long keep = static_cast<long>(pointPos) + places;
    if (keep >= static_cast<long>(digits.size()))
        return value; // nothing is dropped
    if (keep < 0)
        return 0.0; // the first dropped digit is an implied zero
    const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        long i = keep - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
            digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            ++pointPos;
        } else {
            ++digits[static_cast<std::size_t>(i)];
        }
    }
    if (digits.find_first_not_of('0') == std::string::npos)
        return 0.0;
    // "0.<digits>" scaled by the exponent, read back as the nearest double.
    const std::string text = "0." + digits + "e" + std::to_string(pointPos);
    const double r = std::strtod(text.c_str(), nullptr);
    return value < 0 ? -r : r;
}

QStringList& SplitText(const QString& text, const QString& separator, QStringList& list) {
    if (separator.isEmpty()) {
        list.append(text);
        return list;
    }
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(separator, from);
        if (at < 0) {
            list.append(text.mid(from));
            return list;
        }
        list.append(text.mid(from, at - from));
        from = at + separator.size();
    }
}

QStringList SplitText(const QString& text, const QString& separator) {
    QStringList list;
    SplitText(text, separator, list);
    return list;
}

QString FormatGeneral(double value, const QLocale& locale) {
    if (value == 0.0)
        value = 0.0; // no "-0"
    QLocale l(locale);
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(value, 'g', 15);
}

QString TaxGroupCode(int group) {
    const QString digits = QString::number(std::abs(static_cast<long long>(group))).rightJustified(2, u'0');
    return group < 0 ? QLatin1Char('-') + digits : digits;
}

int TaxGroupOfLetter(const QString& letter) {
    return letter.isEmpty() ? 0 : static_cast<int>(letter.at(0).unicode()) - 64;
}

qint32 HundredthsOf(double value) {
    const double v = std::nearbyint(value * 100.0);
    if (!std::isfinite(v))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (v <= static_cast<double>(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(v);
}

NumericKeyFilter::NumericKeyFilter(bool decimalAllowed, QObject* parent)
    : QObject(parent), decimalAllowed_(decimalAllowed) {}

void NumericKeyFilter::install(QObject* edit, bool decimalAllowed) {
    if (!edit)
        return;
    edit->installEventFilter(new NumericKeyFilter(decimalAllowed, edit));
    // A pasted text obeys the same rule as typed keys.
    if (auto* line = qobject_cast<QLineEdit*>(edit))
        QObject::connect(line, &QLineEdit::textEdited, line, [line, decimalAllowed](const QString& text) {
            const QString kept = FilterNumericText(text, decimalAllowed);
            if (kept == text)
                return;
            const int caret = line->cursorPosition() - static_cast<int>(text.size() - kept.size());
            line->setText(kept);
            line->setCursorPosition(std::max(caret, 0));
        });
}

QString FilterNumericText(const QString& text, bool decimalAllowed, const QLocale& locale) {
    QString kept;
    for (QChar c : text)
        if (c != QChar(8) && !FilterNumericKey(c, decimalAllowed, locale).isNull())
            kept.append(c);
    return kept;
}

bool NumericKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* ke = static_cast<QKeyEvent*>(event);
    if (ke->key() == Qt::Key_Backspace || ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab)
        return false;
    const QString text = ke->text();
    if (text.isEmpty())
        return false; // caret movement, Delete and the like carry no character
    for (QChar c : text)
        if (FilterNumericKey(c, decimalAllowed_).isNull())
            return true; // swallowed
    return false;
}
