#pragma once
// The one formatter of texts that come from the language library.

#include <QList>
#include <QString>
#include <QVariant>

// Fills in a format text that comes from the language library (or any other
// untrusted source). Understands "%s" and "%d" (also "%i"), with the flags
// "-", "0", "+", " ", "#", a width and a precision as in printf (so "%-5s" and
// "%.2d" work) and "h"/"l" length modifiers, which are ignored; "%%" gives "%".
// Arguments are used in order: a missing one gives the empty text, surplus
// ones are ignored, an argument that is no number is shown as text by "%d".
// A malformed or unknown directive, or a width or precision above
// kSafeFormatMaxWidth, is kept literally. Never reads outside the format or the
// argument list and never hands anything to printf.
inline constexpr int kSafeFormatMaxWidth = 1024;
QString SafeFormat(const QString& format, const QList<QVariant>& args);
