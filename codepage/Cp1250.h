// Code page 1250, the printer's character set: the one codec of the console,
// the virtual printer and the tools. Every byte maps to one character, so a
// decoded text keeps the offsets of the bytes it came from; a character the
// code page cannot hold is encoded as a visible '?', never dropped.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <string>

namespace cp1250 {

QString decode(const char* data, qsizetype size);
inline QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}
QByteArray encode(const QString& text);
// Encodes so that a text decoded with decode() gives back its bytes exactly
// (undefined bytes included); other characters the code page lacks give '?'.
void encodeExactAppend(QStringView text, QByteArray& out);

// The character of each byte (bytes the code page leaves undefined keep their
// own value, so nothing is lost on the way back).
const std::array<char16_t, 256>& table();

// UTF-8 <-> code page 1250 for code that works in std::string.
std::string toUtf8(const std::string& bytes);
std::string fromUtf8(const std::string& utf8);

} // namespace cp1250
