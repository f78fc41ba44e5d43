// Answers and data-file records written field by field through the protocol
// catalogue's layouts (protocol/Layouts.h), so the printer writes the very
// offsets the console reads. Each value is padded or cut to its field's width;
// writing outside the layout, writing a byte twice or leaving one unwritten is
// a programming error (std::logic_error), never a short or shifted answer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/Layouts.h"

namespace vp {

// What fills a field's unused bytes: blanks after text, zeros before digits,
// zero bytes in binary fields.
constexpr char fillOf(const protocol::Field& f) {
    switch (f.kind) {
    case protocol::Kind::Text:
    case protocol::Kind::Char:
        return ' ';
    case protocol::Kind::Digits:
    case protocol::Kind::Flag:
        return '0';
    case protocol::Kind::Raw:
    case protocol::Kind::BigEndian:
    case protocol::Kind::Bcd:
        return '\0';
    }
    return ' ';
}

// The byte the printer writes into every byte of a field it has no value for.
inline constexpr char kUnset = '\xFF';

// The bytes of an answer being written, and which of them are.
struct AnswerSheet {
    std::string bytes;
    std::vector<bool> written;
    const char* name = "";
};

// Writes the fields of one part of an answer: the whole answer, or one record
// of its record block (offsets relative to `base`, within `limit` bytes).
class FieldWriter {
  public:
    // Text left-aligned, cut to the width and filled with the field's fill;
    // a digits field is right-aligned instead.
    void put(const protocol::Field& f, std::string_view text);
    void putChar(const protocol::Field& f, char c) { put(f, std::string_view(&c, 1)); }
    // A non-negative number in decimal, zero-padded; its last `width` digits
    // when wider, 0 when negative.
    void putDigits(const protocol::Field& f, int64_t value);
    void putFlag(const protocol::Field& f, bool on);
    // Exactly the field's width of bytes.
    void putRaw(const protocol::Field& f, std::string_view bytes);
    // An unsigned big-endian integer over the field's width.
    void putBig(const protocol::Field& f, uint64_t value);
    // One byte of two decimal digits (0 to 99).
    void putBcd(const protocol::Field& f, int value);
    // Every byte 0xFF: the printer's "not set".
    void unset(const protocol::Field& f);

  private:
    friend class AnswerWriter;
    FieldWriter(AnswerSheet& sheet, int base, int limit) : sheet_(&sheet), base_(base), limit_(limit) {}
    void write(const protocol::Field& f, std::string_view bytes);
    [[noreturn]] void fail(const protocol::Field& f, const char* what) const;

    AnswerSheet* sheet_;
    int base_, limit_;
};

// The sheet is a base before the writer, so it exists when the writer binds to it.
class AnswerWriter : private AnswerSheet, public FieldWriter {
  public:
    // Starts the answer of `layout`; its prefix ("O0", "P0") is written here.
    explicit AnswerWriter(const protocol::Layout& layout);
    AnswerWriter(const AnswerWriter&) = delete;
    AnswerWriter& operator=(const AnswerWriter&) = delete;

    // The fields of record `index` of the layout's record block.
    FieldWriter record(int index);
    // The whole answer; every byte must have been written.
    std::string finish() const;

  private:
    const protocol::Layout& layout_;
};

} // namespace vp
