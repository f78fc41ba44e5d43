#include "answers/HexDump.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace hexdump {

namespace {

// "00 " to "FF " for every byte value.
constexpr std::array<std::array<char, 3>, 256> makeHexTable() {
    constexpr char digits[] = "0123456789ABCDEF";
    std::array<std::array<char, 3>, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = {digits[b >> 4], digits[b & 15], ' '};
    return t;
}
constexpr auto kHex = makeHexTable();

} // namespace

int formatLine(const unsigned char* bytes, int count, char* out) {
    count = std::clamp(count, 0, kBytesPerLine);
    char* p = out;
    for (int i = 0; i < count; ++i) {
        std::memcpy(p, kHex[bytes[i]].data(), 3);
        p += 3;
    }
    // A full line drops its last blank; a short one keeps it inside the padding.
    if (count == kBytesPerLine)
        --p;
    std::memset(p, ' ', static_cast<std::size_t>(out + kHexWidth - p));
    p = out + kHexWidth;
    std::memcpy(p, " | ", 3);
    p += 3;
    for (int i = 0; i < count; ++i)
        *p++ = bytes[i] == 0 ? '.' : static_cast<char>(bytes[i]);
    for (int i = count; i < kCharWidth; ++i)
        *p++ = ' ';
    return static_cast<int>(p - out);
}

std::string formatAll(const unsigned char* bytes, std::size_t length) {
    std::string text;
    text.resize(lineCount(length) * (kMaxLineLength + 1));
    char* out = text.data();
    for (std::size_t at = 0; at < length; at += kBytesPerLine) {
        const int n = static_cast<int>(std::min<std::size_t>(kBytesPerLine, length - at));
        out += formatLine(bytes + at, n, out);
        *out++ = '\n';
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

} // namespace hexdump
