#pragma once
// A line edit's typing limit: what the operator types or pastes may not make
// the text longer than the limit, but a text the program puts in is kept whole
// (a due amount of eleven characters in a ten-character field, an article name
// longer than the name field). QLineEdit's own maximum length cuts every text,
// so the edit's maximum length follows the longer of the limit and its text.

#include <QString>

class QLineEdit;

// Sets the limit (at least 1) and keeps the edit's maximum length at the
// longer of the limit and its text from now on.
void SetTypingLimit(QLineEdit* edit, int limit);

// The limit set by SetTypingLimit, else the edit's maximum length.
int TypingLimit(const QLineEdit* edit);

// Puts a text into the edit whole, whatever its typing limit.
void SetFieldText(QLineEdit* edit, const QString& text);
