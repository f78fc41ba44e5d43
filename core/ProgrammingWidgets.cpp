#include "core/ProgrammingWidgets.h"

#include <QEvent>
#include <QKeyEvent>

#include <algorithm>

namespace prog {

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(false);
}

void SpinEdit::setup(int minimum, int maximum, int maxLength, int value) {
    setRange(minimum, maximum);
    lineEdit()->setMaxLength(maxLength);
    setValue(value);
}

int SpinEdit::maxLength() const {
    return lineEdit()->maxLength();
}

int SpinEdit::current() {
    interpretText();
    return value();
}

void SpinEdit::setFieldText(const QString& text) {
    QString t = text;
    int pos = 0;
    if (validate(t, pos) != QValidator::Acceptable)
        fixup(t);
    setValue(t.toInt());
}

QValidator::State SpinEdit::validate(QString& input, int& pos) const {
    if (input.isEmpty() || input == QLatin1String("-"))
        return QValidator::Intermediate;
    if (input.size() > lineEdit()->maxLength())
        return QValidator::Invalid;
    bool ok = false;
    const int v = input.toInt(&ok);
    if (!ok)
        return QValidator::Invalid;
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void SpinEdit::fixup(QString& input) const {
    bool ok = false;
    const qlonglong v = input.toLongLong(&ok);
    // Not a whole number: the field's minimum; out of range: the nearer bound.
    const qlonglong fixed = ok ? std::clamp<qlonglong>(v, minimum(), maximum()) : minimum();
    input = QString::number(fixed);
}

MaskEdit::MaskEdit(QWidget* parent) : QLineEdit(parent) {}

void MaskEdit::setup(const QString& mask, const QString& text) {
    setInputMask(mask + QStringLiteral(";_"));
    setText(text);
}

QString MaskEdit::maskedText() const {
    QString t = displayText();
    t.replace(QLatin1Char('_'), QLatin1Char(' '));
    return t;
}

namespace {
class KeyFilter : public QObject {
  public:
    KeyFilter(QLineEdit* edit, KeyFilterFn fn) : QObject(edit), edit_(edit), fn_(std::move(fn)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_ || event->type() != QEvent::KeyPress)
            return false;
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false; // shortcuts (copy, paste, the window's toggles) are not typed keys
        QChar key;
        if (ke->key() == Qt::Key_Backspace)
            key = QChar(8);
        else if (ke->text().size() == 1 && ke->text()[0].isPrint())
            key = ke->text()[0];
        else
            return false; // arrows, Delete, Tab, Enter: not characters
        const QChar typed = key;
        if (!fn_(edit_->text(), key))
            return true; // dropped
        if (key != typed) {
            edit_->insert(QString(key));
            return true;
        }
        return false;
    }

  private:
    QLineEdit* edit_;
    KeyFilterFn fn_;
};
} // namespace

void installKeyFilter(QLineEdit* edit, KeyFilterFn filter) {
    edit->installEventFilter(new KeyFilter(edit, filter));
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, filter](const QString& text) {
        const QString kept = FilterText(text, filter);
        if (kept == text)
            return;
        const int caret = edit->cursorPosition() - static_cast<int>(text.size() - kept.size());
        edit->setText(kept);
        edit->setCursorPosition(std::max(caret, 0));
    });
}

QString FilterText(const QString& text, const KeyFilterFn& filter) {
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        QChar key = c;
        if (filter(kept, key))
            kept.append(key);
    }
    return kept;
}

} // namespace prog
