#pragma once
// The Return Buffer's dump line: sixteen bytes as uppercase hexadecimal pairs
// joined by blanks, padded to 47 characters, " | ", then the bytes as 8-bit
// characters (only 0x00 becomes "."), padded to at least 15.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace hexdump {

constexpr int kBytesPerLine = 16;
constexpr int kHexWidth = 47;
constexpr int kCharWidth = 15;
constexpr int kMaxLineLength = kHexWidth + 3 + kBytesPerLine; // 66

// Writes the line for count (1..16) bytes into out, which must hold
// kMaxLineLength bytes; returns the line's length. No terminator is written.
int formatLine(const unsigned char* bytes, int count, char* out);

// Where byte i (0 to 15) of a line shows: its hexadecimal pair, its character.
constexpr int hexColumn(int byte) {
    return 3 * byte;
}
constexpr int charColumn(int byte) {
    return kHexWidth + 3 + byte;
}

// The byte (0 to 15) a character column of a line shows: a hexadecimal pair
// and the blank after it, or a character; -1 for the separator and past the line.
constexpr int byteAtColumn(int column) {
    if (column >= 0 && column < kHexWidth)
        return column / 3;
    if (column >= charColumn(0) && column < charColumn(kBytesPerLine))
        return column - charColumn(0);
    return -1;
}

inline std::size_t lineCount(std::size_t length) {
    return (length + kBytesPerLine - 1) / kBytesPerLine;
}

// The whole dump as text, one line per 16 bytes, each ended by '\n'.
std::string formatAll(const unsigned char* bytes, std::size_t length);

// The same text, produced a chunk at a time into a small buffer handed to sink.
void formatStream(const unsigned char* bytes, std::size_t length,
                  const std::function<void(const char*, std::size_t)>& sink);

} // namespace hexdump
