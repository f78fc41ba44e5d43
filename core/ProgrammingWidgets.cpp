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
// One edit's filter. A typed key is judged against the field's whole text and
// goes in or not; nothing else in the field changes. A text put in some other
// way by the operator (a paste, a drop, a key held with Ctrl or Alt, AltGr) has
// each of its characters judged in turn, and only those go or stay: the text
// around them, also one the program put in, is never filtered again.
class KeyFilter : public QObject {
  public:
    KeyFilter(QLineEdit* edit, KeyFilterFn fn)
        : QObject(edit), edit_(edit), fn_(std::move(fn)), before_(edit->text()), shown_(edit->text()) {
        // The text before each change, whichever of the two signals comes first.
        // The field's own text, not the signal's: QLineEdit sends textChanged
        // after textEdited with the text of the edit, even when a textEdited
        // handler has set another since.
        connect(edit, &QLineEdit::textChanged, this, [this] {
            const QString now = edit_->text();
            if (now == shown_)
                return;
            before_ = shown_;
            shown_ = now;
        });
        connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) { edited(text); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_ || event->type() != QEvent::KeyPress || edit_->isReadOnly())
            return false;
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false; // shortcuts (copy, paste, the window's toggles) are not typed keys
        QChar key;
        if (ke->key() == Qt::Key_Backspace)
            key = kBackspaceKey;
        else if (ke->text().size() == 1 && ke->text()[0].isPrint())
            key = ke->text()[0];
        else
            return false; // arrows, Delete, Tab, Enter: not characters
        if (!fn_(edit_->text(), key))
            return true; // refused
        if (key == kBackspaceKey)
            return false; // the edit removes the character itself
        // The key (or the filter's replacement) goes in as judged.
        typing_ = true;
        edit_->insert(QString(key));
        typing_ = false;
        return true;
    }

  private:
    static constexpr QChar kBackspaceKey = QChar(8);

    void edited(const QString& text) {
        if (typing_)
            return;
        const QString old = shown_ == text ? before_ : shown_;
        // What went in lies between what the old text and the new have in common
        // at their start and at their end.
        const qsizetype most = std::min(old.size(), text.size());
        qsizetype head = 0;
        while (head < most && old[head] == text[head])
            ++head;
        qsizetype tail = 0;
        while (tail < most - head && old[old.size() - 1 - tail] == text[text.size() - 1 - tail])
            ++tail;
        const QString inserted = text.mid(head, text.size() - head - tail);
        if (inserted.isEmpty())
            return; // only removed
        const QString before = text.left(head), after = text.right(tail);
        QString kept;
        for (QChar c : inserted) {
            QChar key = c;
            if (c != kBackspaceKey && fn_(before + kept + after, key))
                kept.append(key);
        }
        if (kept == inserted)
            return;
        edit_->setText(before + kept + after);
        edit_->setCursorPosition(static_cast<int>(head + kept.size()));
    }

    QLineEdit* edit_;
    KeyFilterFn fn_;
    QString before_, shown_;
    bool typing_ = false;
};
} // namespace

void installKeyFilter(QLineEdit* edit, KeyFilterFn filter) {
    edit->installEventFilter(new KeyFilter(edit, std::move(filter)));
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
