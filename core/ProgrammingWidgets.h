#pragma once
// Small controls the programming pages share: the spin edit (a whole number
// in a range that takes any digits while typed and is brought to the nearer
// bound when left), the masked edit (fixed digit positions showing "_" while
// empty) and a key-press filter for line edits.

#include <QLineEdit>
#include <QObject>
#include <QSpinBox>

#include <functional>

namespace prog {

class SpinEdit : public QSpinBox {
    Q_OBJECT
  public:
    explicit SpinEdit(QWidget* parent = nullptr);
    // Range, the text length the field accepts and the value it starts with.
    void setup(int minimum, int maximum, int maxLength, int value);
    int maxLength() const;
    // The value as the field stands, what is typed included (brought into range).
    int current();
    // Puts a text into the field as if typed and left: not a whole number
    // gives the minimum, a value out of range the nearer bound.
    void setFieldText(const QString& text);

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

// A line edit with an input mask of digit positions, e.g. "9999" (each position
// optional) or "0000000000" (each position required). displayText() shows "_"
// in the empty positions; maskedText() gives them as blanks.
class MaskEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit MaskEdit(QWidget* parent = nullptr);
    void setup(const QString& mask, const QString& text);
    QString maskedText() const;
};

// Drops the typed characters the filter refuses. The filter sees the field's
// whole text and the typed character (Backspace as QChar(8)); it may also
// replace the character (for upper case) by returning it through `key`.
using KeyFilterFn = std::function<bool(const QString& text, QChar& key)>;
// Each typed key is accepted or refused as a whole; the rest of the field
// never changes. A text the operator puts in some other way (paste, a key held
// with Ctrl or Alt, AltGr on Windows) has its characters judged one after
// another, each against the field as it stands with those kept before it; the
// ones refused are dropped and the rest of the paste stays. A text the program
// puts in (setText) is never filtered, then or at a later keystroke.
void installKeyFilter(QLineEdit* edit, KeyFilterFn filter);

// `text` as if typed character by character into an empty field: each
// character the filter refuses is dropped, each one it replaces is replaced.
QString FilterText(const QString& text, const KeyFilterFn& filter);

} // namespace prog
