#pragma once
// The plain rules behind the programming pages: header lines, the tax-ID format
// value, VAT rate fields, the parameter text, currency names, the rate texts of
// the currency change and its answer, and the key filters of these pages.
// Nothing here touches a widget or the device.

#include "protocol/Layouts.h"

#include <QByteArray>
#include <QChar>
#include <QString>

#include <array>
#include <optional>
#include <stdexcept>

namespace prog {

// The conversion failure of a text that should be a whole number; its text is
// "'<text>' is not a valid integer value" and the console shows it in its
// standard error box.
class ConversionError : public std::runtime_error {
  public:
    explicit ConversionError(const QString& text);
};

// Reads a whole decimal number (optional sign); throws ConversionError otherwise.
int StrToInt(const QString& text);

// A text as the printer will count it: composed characters (NFC), and every
// character outside the basic plane as one visible "?", so that one character
// on screen is one byte on the device.
QString OneBytePerCharacter(const QString& text);

// ---- header message ----
// The printer's header: as many lines, as wide, as its upload (code 93) gives back.
inline constexpr int kHeaderLineWidth = protocol::HeaderLines::Text.width;
inline constexpr int kHeaderLines = protocol::HeaderLines::layout.records;
// One header line: 32 characters, centred (the smaller half on the left) or
// padded on the right; a longer text keeps its first 32 characters.
QString FormatHeaderLine(const QString& text, bool centre);
// The 160-character header: the five lines in order, no separators.
QString BuildHeaderText(const std::array<QString, kHeaderLines>& lines,
                        const std::array<bool, kHeaderLines>& centre);

// ---- VAT rates ----
// The value of one rate field as displayed ("0700", "22__"): the whole number,
// or 255 when the text is not a whole number.
int VatRateValue(const QString& displayed);

// ---- ID number (Set ID, Enter Fiscal Mode) ----
// The field takes up to 10 digits and sends them all: the printer judges the
// number (the virtual printer keeps 1 to 8 digits and refuses a longer one
// with its error 51), so nothing is cut off on the way.
inline constexpr int kIdNumberFieldLength = 10;

// ---- tax ID format ----
struct TaxIdFormat {
    enum class Result { Ok, Refused };
    Result result = Result::Refused;
    int value = 0; // the four digits packed one per 4-bit group, first digit highest
};
// Judges the format field's text (blanks standing for empty positions).
// Throws ConversionError for a blank between digits; refuses a text shorter
// than four characters after trimming or whose digits add up to neither 0 nor 10.
TaxIdFormat TaxIdFormatValue(const QString& text);

// ---- device settings ----
// "81", a character per box ("0" checked, "1" unchecked), then 30 zeros.
QByteArray ParameterText(bool displayErrorCode, bool printExchangeRateInfo);

// ---- currency change ----
// The name text of "Set Currency Name": first name trimmed and padded to 3,
// then the second name trimmed, the whole padded to 6.
QString CurrencyNamesText(const QString& first, const QString& second);
// A device rate ("0000001,234500") as the console shows it ("1.234500"),
// with the given decimal separator in place of the first comma.
QString RateFromDevice(const QByteArray& deviceRate, QChar decimalSeparator = QLatin1Char('.'));
// A byte's two hexadecimal digits, as the currency-change dates are BCD ("26").
QString BcdText(unsigned char b);

struct CurrencyRate {
    QString rate;    // converted for display
    QChar direction; // 'A' or 'B'
};
// The currency-change answer (code 17), protocol::CurrencyChange.
struct CurrencyChange {
    enum class State { TooShort, NotSet, Set };
    State state = State::TooShort;
    QString year, month, day, hour, minute; // BCD as text
    QString name;                           // the new currency's code, as it is
    CurrencyRate rate1;
    std::optional<QString> secondName; // present only when the answer holds the second currency
    CurrencyRate rate2;
};
// Up to the first rate's direction, and the whole answer.
inline constexpr int kCurrencyChangeMinLength = protocol::CurrencyChange::FirstMode.end();
inline constexpr int kCurrencyChangeFullLength = protocol::CurrencyChange::layout.size;
// Reads the currency-change answer only as far as its length reaches.
CurrencyChange ParseCurrencyChange(const QByteArray& answer, QChar decimalSeparator = QLatin1Char('.'));

// ---- key filters (true: the key passes) ----
inline constexpr QChar kBackspace = QChar(8);
bool FilterDigitKey(QChar key);  // Backspace and 0 to 9
bool FilterLetterKey(QChar key); // Backspace and A to Z, a to z
// The rate fields: judged on the field's whole text, not the caret position.
bool FilterRateKey(const QString& text, QChar key, QChar decimalSeparator);

} // namespace prog
