#include "replay/Compare.h"

#include "codepage/Cp1250.h"
#include "protocol/Commands.h"

#include <algorithm>

namespace replay {
namespace {

QByteArrayView bytesOf(const std::string& answer, int offset, int width) {
    const int size = static_cast<int>(answer.size());
    if (offset >= size)
        return {};
    return QByteArrayView(answer.data() + offset, std::min(width, size - offset));
}

QString hex(QByteArrayView bytes) {
    return QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
}

bool printable(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; });
}

// A byte range of the answer read byte by byte.
QString rangeName(int from, int to) {
    return from + 1 == to ? QStringLiteral("byte %1").arg(from)
                          : QStringLiteral("bytes %1-%2").arg(from).arg(to - 1);
}

// Differing bytes of [from, to), grouped into ranges.
void compareBytes(const std::string& a, const std::string& b, int from, int to, const QString& meaning,
                  std::vector<Difference>& out) {
    const auto at = [](const std::string& s, int i) {
        return i < static_cast<int>(s.size()) ? int{static_cast<unsigned char>(s[static_cast<size_t>(i)])}
                                              : -1;
    };
    for (int i = from; i < to;) {
        if (at(a, i) == at(b, i)) {
            ++i;
            continue;
        }
        int end = i + 1;
        while (end < to && at(a, end) != at(b, end))
            ++end;
        Difference d;
        d.field = rangeName(i, end);
        d.meaning = meaning;
        const QByteArrayView ra = bytesOf(a, i, end - i), rb = bytesOf(b, i, end - i);
        d.recorded = ra.isEmpty() ? QStringLiteral("(missing)") : hex(ra);
        d.replayed = rb.isEmpty() ? QStringLiteral("(missing)") : hex(rb);
        d.offset = i;
        d.width = end - i;
        out.push_back(std::move(d));
        i = end;
    }
}

bool ignoredByName(const QStringList& ignore, const protocol::Layout& layout, const protocol::Field& f,
                   const QString& shown) {
    const QString name = QString::fromLatin1(f.name);
    const QString qualified = QString::fromLatin1(layout.name) + QLatin1Char('.') + name;
    return std::any_of(ignore.begin(), ignore.end(),
                       [&](const QString& i) { return i == name || i == qualified || i == shown; });
}

void scalar(const char* name, const char* meaning, int32_t a, int32_t b, std::vector<Difference>& out) {
    if (a != b)
        out.push_back({QString::fromLatin1(name), QString::fromLatin1(meaning), QString::number(a),
                       QString::number(b)});
}

} // namespace

const protocol::Layout* layoutOf(const session::Call& call) {
    if (call.function == "ExecCommand") {
        const session::Argument* line = call.argument("commandLine");
        const auto* text = line ? std::get_if<std::string>(&line->value) : nullptr;
        return text && text->size() >= 2 ? protocol::answerLayout(std::string_view(*text).substr(0, 2))
                                         : nullptr;
    }
    const protocol::Command* c = protocol::findFunction(call.function);
    return c ? c->answer.layout : nullptr;
}

QString showValue(const protocol::Field& field, QByteArrayView bytes) {
    if (bytes.isEmpty())
        return QStringLiteral("(missing)");
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) == 0xFF; }) &&
        field.kind != protocol::Kind::Raw && field.kind != protocol::Kind::BigEndian)
        return QStringLiteral("unset (%1)").arg(hex(bytes));
    switch (field.kind) {
    case protocol::Kind::Text: { // blank padded: the blanks after the text are left out
        QString text = cp1250::decode(bytes.data(), bytes.size());
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    case protocol::Kind::Digits:
    case protocol::Kind::Flag:
    case protocol::Kind::Char:
        if (printable(bytes))
            return QString::fromLatin1(bytes.data(), bytes.size());
        return hex(bytes);
    case protocol::Kind::Raw:
        return hex(bytes);
    case protocol::Kind::BigEndian: {
        quint64 v = 0;
        for (char c : bytes)
            v = (v << 8) | static_cast<unsigned char>(c);
        return QString::number(v);
    }
    case protocol::Kind::Bcd: {
        QString s;
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            if ((b >> 4) > 9 || (b & 0x0F) > 9)
                return hex(bytes);
            s += QString::number(b >> 4) + QString::number(b & 0x0F);
        }
        return s;
    }
    }
    return hex(bytes);
}

Comparison compare(const session::Call& recorded, const session::Call& replayed,
                   const CompareOptions& options) {
    Comparison c;
    auto& out = c.differences;
    scalar("Status", "what the function returned", recorded.status, replayed.status, out);
    if (recorded.sizing) {
        scalar("Length", "the answer's size the sizing call gave", recorded.length, replayed.length, out);
        return c;
    }
    scalar("SubCode", "the printer's sub-code", recorded.subCode, replayed.subCode, out);
    scalar("Length", "the answer's length", recorded.length, replayed.length, out);

    const std::string& a = recorded.answer;
    const std::string& b = replayed.answer;
    const int longest = static_cast<int>(std::max(a.size(), b.size()));
    if (recorded.function == "TavoGetClock") {
        // The printer's clock: it changes by nature.
        if (a != b) {
            if (!options.compareVolatile && !options.ignore.contains(QStringLiteral("Clock")))
                ++c.volatileIgnored;
            else if (options.ignore.contains(QStringLiteral("Clock")))
                ++c.ignored;
            else
                out.push_back({QStringLiteral("Clock"), QStringLiteral("the printer's date and time"),
                               QString::fromStdString(a), QString::fromStdString(b), 0, longest});
        }
        return c;
    }
    const protocol::Layout* layout = layoutOf(recorded);
    if (layout == nullptr) {
        const protocol::Command* command = protocol::findFunction(recorded.function);
        compareBytes(a, b, 0, longest,
                     command && command->answer.size == protocol::MemoryDump::kSize
                         ? QStringLiteral("memory dump")
                         : QStringLiteral("the answer, byte by byte"),
                     out);
        return c;
    }
    for (int offset = 0; offset < layout->size && offset < longest;) {
        const protocol::FieldAt at = protocol::fieldAt(*layout, offset);
        if (at.field == nullptr) { // a layout always covers its bytes; never loop for ever
            compareBytes(a, b, offset, offset + 1, QStringLiteral("outside every field"), out);
            ++offset;
            continue;
        }
        const protocol::Field& f = *at.field;
        offset = at.offset + f.width;
        const QByteArrayView ra = bytesOf(a, at.offset, f.width), rb = bytesOf(b, at.offset, f.width);
        if (ra == rb)
            continue;
        const QString name = at.record < 0 ? QString::fromLatin1(f.name)
                                           : QStringLiteral("%1 record %2: %3")
                                                 .arg(QString::fromLatin1(layout->name))
                                                 .arg(at.record + 1)
                                                 .arg(QString::fromLatin1(f.name));
        if (ignoredByName(options.ignore, *layout, f, name)) {
            ++c.ignored;
            continue;
        }
        if (f.isVolatile && !options.compareVolatile) {
            ++c.volatileIgnored;
            continue;
        }
        out.push_back(
            {name, QString::fromLatin1(f.meaning), showValue(f, ra), showValue(f, rb), at.offset, f.width});
    }
    if (longest > layout->size)
        compareBytes(a, b, layout->size, longest, QStringLiteral("beyond the answer's layout"), out);
    return c;
}

} // namespace replay
