#include "AnswerWriter.h"

#include <algorithm>
#include <stdexcept>

namespace vp {

void FieldWriter::fail(const protocol::Field& f, const char* what) const {
    throw std::logic_error(std::string(sheet_->name) + "." + f.name + ": " + what);
}

void FieldWriter::write(const protocol::Field& f, std::string_view bytes) {
    if (f.offset < 0 || f.width <= 0 || f.end() > limit_)
        fail(f, "outside the layout");
    if (static_cast<int>(bytes.size()) != f.width)
        fail(f, "not the field's width");
    const auto at = static_cast<size_t>(base_ + f.offset);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (sheet_->written[at + i])
            fail(f, "written twice");
        sheet_->written[at + i] = true;
        sheet_->bytes[at + i] = bytes[i];
    }
}

void FieldWriter::put(const protocol::Field& f, std::string_view text) {
    const auto width = static_cast<size_t>(std::max(f.width, 0));
    const char fill = fillOf(f);
    std::string v(text.substr(0, width));
    if (f.kind == protocol::Kind::Digits)
        v.insert(0, width - v.size(), fill);
    else
        v.append(width - v.size(), fill);
    write(f, v);
}

void FieldWriter::putDigits(const protocol::Field& f, int64_t value) {
    if (f.kind != protocol::Kind::Digits)
        fail(f, "not a digits field");
    std::string d = std::to_string(std::max<int64_t>(value, 0));
    const auto width = static_cast<size_t>(std::max(f.width, 0));
    if (d.size() > width)
        d.erase(0, d.size() - width);
    put(f, d);
}

void FieldWriter::putFlag(const protocol::Field& f, bool on) {
    if (f.kind != protocol::Kind::Flag)
        fail(f, "not a flag");
    putChar(f, on ? '1' : '0');
}

void FieldWriter::putRaw(const protocol::Field& f, std::string_view bytes) {
    write(f, bytes);
}

void FieldWriter::putBig(const protocol::Field& f, uint64_t value) {
    if (f.kind != protocol::Kind::BigEndian && f.kind != protocol::Kind::Raw)
        fail(f, "not a binary field");
    if (f.width > 8)
        fail(f, "wider than 64 bits");
    std::string b(static_cast<size_t>(std::max(f.width, 0)), '\0');
    for (int i = f.width - 1, shift = 0; i >= 0; --i, shift += 8)
        b[static_cast<size_t>(i)] = static_cast<char>((value >> shift) & 0xFF);
    write(f, b);
}

void FieldWriter::putBcd(const protocol::Field& f, int value) {
    if (f.kind != protocol::Kind::Bcd || f.width != 1)
        fail(f, "not a BCD byte");
    if (value < 0 || value > 99)
        fail(f, "not two decimal digits");
    putChar(f, static_cast<char>(((value / 10) << 4) | (value % 10)));
}

void FieldWriter::unset(const protocol::Field& f) {
    write(f, std::string(static_cast<size_t>(std::max(f.width, 0)), kUnset));
}

AnswerWriter::AnswerWriter(const protocol::Layout& layout)
    : AnswerSheet{std::string(static_cast<size_t>(layout.size), '\0'), std::vector<bool>(layout.size),
                  layout.name},
      FieldWriter(*this, 0, layout.size), layout_(layout) {
    const std::string_view prefix = layout.prefix;
    if (!prefix.empty() && !layout.fields.empty())
        putRaw(layout.fields.front(), prefix);
}

FieldWriter AnswerWriter::record(int index) {
    if (index < 0 || index >= layout_.records)
        throw std::logic_error(std::string(layout_.name) + ": no record " + std::to_string(index));
    return FieldWriter(*this, layout_.recordsAt + index * layout_.recordSize, layout_.recordSize);
}

std::string AnswerWriter::finish() const {
    const auto gap = std::find(written.begin(), written.end(), false);
    if (gap != written.end()) {
        const int at = static_cast<int>(gap - written.begin());
        const protocol::FieldAt f = protocol::fieldAt(layout_, at);
        throw std::logic_error(std::string(layout_.name) + ": byte " + std::to_string(at) + " (" +
                               (f.field ? f.field->name : "?") + ") not written");
    }
    return bytes;
}

} // namespace vp
