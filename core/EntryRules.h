#pragma once
// Entry rules shared by every page that takes amounts, quantities and prices:
// the key filter of the numeric fields, text-to-number conversion, two-decimal
// rounding, splitting of list lines into fields, the general decimal form in
// which numbers are written back, and the two-digit tax group code.
//
// Every function reads and writes the workstation's decimal separator (the
// default QLocale, or the locale passed in) and never a thousands separator.

#include <QChar>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>

// The key filter of the numeric text fields: returns the key when it passes
// (Backspace, "0" to "9", and the decimal separator when decimalAllowed), or a
// null QChar when it is swallowed (Enter and minus included).
QChar FilterNumericKey(QChar key, bool decimalAllowed, const QLocale& locale = QLocale());

// The text read as a decimal number in the locale's notation: optional sign,
// digits, the decimal separator, optional exponent, surrounding blanks. Any
// other text (empty, letters, two separators, an out-of-range value) gives `def`.
double TextToAmount(const QString& text, double def = 0.0, const QLocale& locale = QLocale());

// Same reading; false when the text is not such a number.
bool TryTextToAmount(const QString& text, double& value, const QLocale& locale = QLocale());

// The value rounded to `places` digits after the point, from its decimal digit
// string of at most 18 significant digits, half away from zero: 2.675 gives
// 2.67 (the double lies just below), 0.125 gives 0.13, -0.125 gives -0.13.
double RoundDecimals(double value, int places);

// Appends the pieces of `text` between occurrences of `separator` to `list` and
// returns it. Empty pieces are kept, so field positions stay stable: "a---"
// gives "a" and "", an empty text gives one empty piece.
QStringList& SplitText(const QString& text, const QString& separator, QStringList& list);
QStringList SplitText(const QString& text, const QString& separator);

// The general decimal form: at most 15 significant digits, no trailing zeros or
// separator, no thousands separator: 12.5 -> "12.5", 3.0 -> "3", 0.1 + 0.2 -> "0.3".
QString FormatGeneral(double value, const QLocale& locale = QLocale());

// The tax group code: the group number written with at least two digits
// ("01" for "A", "09" for "I"; 0 gives "00").
QString TaxGroupCode(int group);
// The group number of a tax letter: its character code minus 64 ("A" -> 1);
// an empty text gives 0.
int TaxGroupOfLetter(const QString& letter);

// The discount or increase value sent to the device: the number × 100, rounded
// to the nearest integer, an exact half to the even neighbour, clamped to the
// 32-bit range.
qint32 HundredthsOf(double value);

// The characters of `text` that FilterNumericKey lets through, in order.
QString FilterNumericText(const QString& text, bool decimalAllowed, const QLocale& locale = QLocale());

// An event filter that applies FilterNumericKey to the key presses of the
// widget it is installed on (a QLineEdit). Tab and keys without text pass;
// a text the operator pastes keeps only the characters the filter passes.
class NumericKeyFilter : public QObject {
    Q_OBJECT
  public:
    NumericKeyFilter(bool decimalAllowed, QObject* parent);
    // Installs a filter owned by the edit on the edit.
    static void install(QObject* edit, bool decimalAllowed);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool decimalAllowed_;
};
