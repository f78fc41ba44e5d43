#include "core/TypingLimit.h"

#include <QLineEdit>
#include <QVariant>

#include <algorithm>

namespace {
const char* const kLimit = "typingLimit";

// Changing the maximum length resets the caret, so it is put back.
void fitMaxLength(QLineEdit* edit, int limit) {
    const int wanted = std::max(limit, static_cast<int>(edit->text().size()));
    if (edit->maxLength() == wanted)
        return;
    const int caret = edit->cursorPosition();
    edit->setMaxLength(wanted);
    edit->setCursorPosition(caret);
}
} // namespace

void SetTypingLimit(QLineEdit* edit, int limit) {
    limit = std::max(limit, 1);
    const bool installed = edit->property(kLimit).isValid();
    edit->setProperty(kLimit, limit);
    fitMaxLength(edit, limit);
    if (!installed)
        QObject::connect(edit, &QLineEdit::textChanged, edit,
                         [edit] { fitMaxLength(edit, edit->property(kLimit).toInt()); });
}

int TypingLimit(const QLineEdit* edit) {
    const QVariant limit = edit->property(kLimit);
    return limit.isValid() ? limit.toInt() : edit->maxLength();
}

void SetFieldText(QLineEdit* edit, const QString& text) {
    if (edit->maxLength() < text.size())
        edit->setMaxLength(static_cast<int>(text.size()));
    edit->setText(text);
}
