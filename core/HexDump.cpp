#include "core/HexDump.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace hexdump {

namespace {

// Per byte value: its two uppercase hexadecimal digits and a blank, packed so
// one 4-byte store writes them (the fourth byte is overwritten by the next).
struct Tables {
    uint32_t hex[256];
    char chars[256]; // the character column: only 0x00 becomes "."
};

constexpr Tables makeTables() {
    constexpr char digits[] = "0123456789ABCDEF";
    Tables t{};
    for (unsigned b = 0; b < 256; ++b) {
        t.hex[b] = uint32_t(uint8_t(digits[b >> 4])) | uint32_t(uint8_t(digits[b & 15])) << 8 |
                   uint32_t(uint8_t(' ')) << 16 | uint32_t(uint8_t(' ')) << 24;
        t.chars[b] = b == 0 ? '.' : char(b);
    }
    return t;
}
constexpr Tables kTables = makeTables();

inline void put4(char* p, uint32_t v) {
    std::memcpy(p, &v, 4); // little-endian order: the first digit first
}

// A full sixteen-byte line, 66 characters; out must hold 67 (one byte of slack).
inline void fullLine(const unsigned char* b, char* out) {
    for (int i = 0; i < kBytesPerLine; ++i)
        put4(out + 3 * i, kTables.hex[b[i]]);
    // Character 47 would be the sixteenth pair's blank: the separator starts there.
    out[47] = ' ';
    out[48] = '|';
    out[49] = ' ';
    for (int i = 0; i < kBytesPerLine; ++i)
        out[50 + i] = kTables.chars[b[i]];
}

} // namespace

int formatLine(const unsigned char* bytes, int count, char* out) {
    count = std::clamp(count, 0, kBytesPerLine);
    if (count == kBytesPerLine) {
        char line[kMaxLineLength + 1];
        fullLine(bytes, line);
        std::memcpy(out, line, kMaxLineLength);
        return kMaxLineLength;
    }
    // A short line keeps its last blank inside the padding.
    std::memset(out, ' ', kHexWidth + 3 + kCharWidth);
    for (int i = 0; i < count; ++i) {
        out[3 * i] = char(kTables.hex[bytes[i]]);
        out[3 * i + 1] = char(kTables.hex[bytes[i]] >> 8);
    }
    out[kHexWidth + 1] = '|';
    for (int i = 0; i < count; ++i)
        out[kHexWidth + 3 + i] = kTables.chars[bytes[i]];
    return kHexWidth + 3 + kCharWidth;
}

std::string formatAll(const unsigned char* bytes, std::size_t length) {
    std::string text;
    // One byte of slack after the last line for the 4-byte stores.
    text.resize(lineCount(length) * (kMaxLineLength + 1) + 1);
    char* out = text.data();
    std::size_t at = 0;
    for (; at + kBytesPerLine <= length; at += kBytesPerLine) {
        fullLine(bytes + at, out);
        out[kMaxLineLength] = '\n';
        out += kMaxLineLength + 1;
    }
    if (at < length) {
        out += formatLine(bytes + at, static_cast<int>(length - at), out);
        *out++ = '\n';
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

void formatStream(const unsigned char* bytes, std::size_t length,
                  const std::function<void(const char*, std::size_t)>& sink) {
    constexpr std::size_t kLinesPerChunk = 1024;
    std::vector<char> chunk(kLinesPerChunk * (kMaxLineLength + 1) + 1);
    std::size_t at = 0;
    while (at < length) {
        char* out = chunk.data();
        for (std::size_t n = 0; n < kLinesPerChunk && at < length; ++n, at += kBytesPerLine) {
            if (at + kBytesPerLine <= length) {
                fullLine(bytes + at, out);
                out += kMaxLineLength;
            } else {
                out += formatLine(bytes + at, static_cast<int>(length - at), out);
            }
            *out++ = '\n';
        }
        sink(chunk.data(), static_cast<std::size_t>(out - chunk.data()));
    }
}

} // namespace hexdump
