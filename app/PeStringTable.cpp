#include "app/PeStringTable.h"

#include <QtEndian>

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

namespace {

using Status = PeStringTable::Status;
using u64 = std::uint64_t;

struct Failure {
    Status status;
    QString text;
};

[[noreturn]] void fail(Status status, const QString& text) {
    throw Failure{status, text};
}
[[noreturn]] void damaged(const QString& text) {
    fail(Status::Damaged, text);
}

QString hex(u64 value) {
    return QStringLiteral("0x") + QString::number(value, 16);
}

constexpr std::uint16_t kMz = 0x5A4D;           // "MZ"
constexpr std::uint32_t kPe = 0x00004550;       // "PE\0\0"
constexpr std::uint16_t kPe32 = 0x10B;          // optional header of a 32-bit file
constexpr std::uint16_t kPe32Plus = 0x20B;      // and of a 64-bit one
constexpr std::uint32_t kResourceDirectory = 2; // index among the data directories
constexpr std::uint32_t kStringType = 6;
constexpr std::uint32_t kHighBit = 0x80000000u; // a named entry; an entry naming a directory
constexpr std::uint32_t kLastBlock = 4096;      // identifiers are 16 bits: 4096 blocks of 16
constexpr std::uint32_t kMaxSections = 96;      // the most Windows itself loads
// Directory entries read in all: a tree whose entries point back into it can
// make a small file list the same entries over and over.
constexpr u64 kMaxEntriesRead = u64{1} << 20;

struct Section {
    std::uint32_t address;    // relative virtual address
    std::uint32_t extent;     // bytes of it present in the file and mapped
    std::uint32_t rawPointer; // its file offset
};

struct DirEntry {
    std::uint32_t name;   // identifier, or kHighBit | offset of a name
    std::uint32_t target; // kHighBit | offset of a directory, or offset of a data entry
};

// One run over a file: throws Failure at the first thing that does not fit.
class Parser {
  public:
    explicit Parser(const QByteArray& bytes)
        : data_(reinterpret_cast<const uchar*>(bytes.constData())), size_(static_cast<u64>(bytes.size())) {}

    template <typename Entry> std::vector<Entry> run();

  private:
    bool has(u64 offset, u64 length) const { return offset <= size_ && length <= size_ - offset; }
    // Unchecked reads: the caller has made sure of the bytes with has().
    std::uint16_t u16(u64 offset) const { return qFromLittleEndian<quint16>(data_ + offset); }
    std::uint32_t u32(u64 offset) const { return qFromLittleEndian<quint32>(data_ + offset); }

    void readSections(u64 table, std::uint32_t count);
    // The file offset of `length` bytes at `rva`, all inside one section and the file.
    u64 map(std::uint32_t rva, u64 length, const QString& what) const;
    // The file offset of the section bytes from `rva` on, and how many there are.
    std::pair<u64, u64> mapRest(std::uint32_t rva, const QString& what) const;
    bool treeHas(u64 offset, u64 length) const { return offset <= treeSize_ && length <= treeSize_ - offset; }
    std::vector<DirEntry> directory(std::uint32_t offset, const QString& what);
    template <typename Entry>
    void readBlock(std::uint32_t block, u64 offset, u64 size, std::vector<Entry>& out);

    const uchar* data_;
    u64 size_;
    std::vector<Section> sections_;
    u64 treeBase_ = 0; // file offset of the resource directory
    u64 treeSize_ = 0; // bytes of its section from there on
    u64 entriesRead_ = 0;
};

template <typename Entry> std::vector<Entry> Parser::run() {
    if (size_ < 2 || u16(0) != kMz)
        fail(Status::NotPe, QStringLiteral("no MZ signature: not a Windows program or library"));
    if (size_ > std::numeric_limits<std::uint32_t>::max())
        damaged(QStringLiteral("the file is larger than 4 GiB"));
    if (!has(0, 64))
        damaged(
            QStringLiteral("the file ends inside its DOS header (64 bytes needed, %1 present)").arg(size_));
    const u64 pe = u32(0x3C);
    if (!has(pe, 24))
        damaged(QStringLiteral("the PE header at %1 lies past the end of the file (%2 bytes)")
                    .arg(hex(pe))
                    .arg(size_));
    if (u32(pe) != kPe)
        fail(Status::NotPe,
             QStringLiteral("no PE signature at %1: not a Windows program or library").arg(hex(pe)));
    const std::uint32_t sectionCount = u16(pe + 6);
    const std::uint32_t optionalSize = u16(pe + 20);
    const u64 optional = pe + 24;
    if (!has(optional, optionalSize))
        damaged(QStringLiteral("the file ends inside the optional header (%1 bytes at %2)")
                    .arg(optionalSize)
                    .arg(hex(optional)));
    if (optionalSize < 2)
        damaged(QStringLiteral("the optional header is missing"));

    u64 countAt = 0; // where the optional header keeps the number of data directories
    switch (u16(optional)) {
    case kPe32:
        countAt = 92;
        break;
    case kPe32Plus:
        countAt = 108;
        break;
    default:
        damaged(QStringLiteral("unknown optional header kind %1 (neither PE32 nor PE32+)")
                    .arg(hex(u16(optional))));
    }
    if (countAt + 4 > optionalSize)
        damaged(QStringLiteral("the optional header (%1 bytes) is too short for its data directories")
                    .arg(optionalSize));
    const u64 resourceAt = countAt + 4 + kResourceDirectory * 8;
    if (u32(optional + countAt) <= kResourceDirectory || resourceAt + 8 > optionalSize)
        fail(Status::NoStringTable, QStringLiteral("the file has no resource directory"));
    const std::uint32_t resourceRva = u32(optional + resourceAt);
    if (resourceRva == 0 || u32(optional + resourceAt + 4) == 0)
        fail(Status::NoStringTable, QStringLiteral("the file has no resources"));

    readSections(optional + optionalSize, sectionCount);
    std::tie(treeBase_, treeSize_) = mapRest(resourceRva, QStringLiteral("the resource directory"));

    const std::vector<DirEntry> types = directory(0, QStringLiteral("the resource directory"));
    const auto strings =
        std::find_if(types.begin(), types.end(), [](const DirEntry& e) { return e.name == kStringType; });
    if (strings == types.end())
        fail(Status::NoStringTable, QStringLiteral("the file has resources but no string table"));
    if ((strings->target & kHighBit) == 0)
        damaged(QStringLiteral("the string table's entry names data, not a directory of blocks"));

    std::vector<Entry> out;
    for (const DirEntry& block : directory(strings->target & ~kHighBit, QStringLiteral("the string table"))) {
        // Named blocks cannot be asked for by number, and blocks past the last
        // hold no 16-bit identifier.
        if ((block.name & kHighBit) != 0 || block.name == 0 || block.name > kLastBlock)
            continue;
        if ((block.target & kHighBit) == 0)
            damaged(
                QStringLiteral("string block %1 names data, not a directory of languages").arg(block.name));
        const std::vector<DirEntry> languages = directory(
            block.target & ~kHighBit, QStringLiteral("the languages of string block %1").arg(block.name));
        if (languages.empty())
            damaged(QStringLiteral("string block %1 has no language").arg(block.name));

        const DirEntry* chosen = nullptr;
        const DirEntry* neutral = nullptr;
        for (const DirEntry& language : languages) {
            if (language.name == PeStringTable::kLanguagePolish) {
                chosen = &language;
                break;
            }
            if (neutral == nullptr && (language.name & (kHighBit | 0x3FF)) == 0)
                neutral = &language; // LANG_NEUTRAL with any sublanguage: neutral, default
        }
        if (chosen == nullptr)
            chosen = neutral != nullptr ? neutral : &languages.front();
        if ((chosen->target & kHighBit) != 0)
            damaged(QStringLiteral("string block %1, language %2, names a directory, not data")
                        .arg(block.name)
                        .arg(hex(chosen->name)));
        if (!treeHas(chosen->target, 16))
            damaged(
                QStringLiteral("the data entry of string block %1 at %2 lies outside the resource section")
                    .arg(block.name)
                    .arg(hex(chosen->target)));
        const u64 entry = treeBase_ + chosen->target;
        const std::uint32_t size = u32(entry + 4);
        const u64 offset = map(u32(entry), size, QStringLiteral("the strings of block %1").arg(block.name));
        readBlock(block.name, offset, size, out);
    }
    return out;
}

void Parser::readSections(u64 table, std::uint32_t count) {
    if (count > kMaxSections)
        damaged(QStringLiteral("the file claims %1 sections, more than %2").arg(count).arg(kMaxSections));
    if (!has(table, u64{count} * 40))
        damaged(QStringLiteral("the file ends inside the section table (%1 sections at %2)")
                    .arg(count)
                    .arg(hex(table)));
    for (std::uint32_t i = 0; i < count; ++i) {
        const u64 at = table + u64{i} * 40;
        const std::uint32_t virtualSize = u32(at + 8);
        const std::uint32_t rawSize = u32(at + 16);
        // Bytes past the virtual size are padding of the file, not mapped.
        const std::uint32_t extent = virtualSize != 0 ? std::min(virtualSize, rawSize) : rawSize;
        sections_.push_back(Section{u32(at + 12), extent, u32(at + 20)});
    }
}

std::pair<u64, u64> Parser::mapRest(std::uint32_t rva, const QString& what) const {
    for (const Section& s : sections_) {
        if (rva < s.address || rva - s.address >= s.extent)
            continue;
        const u64 offset = u64{s.rawPointer} + (rva - s.address);
        const u64 rest = s.extent - (rva - s.address);
        if (!has(offset, rest))
            damaged(QStringLiteral("the file ends inside %1 (bytes %2 to %3 needed, the file has %4)")
                        .arg(what, hex(offset), hex(offset + rest))
                        .arg(size_));
        return {offset, rest};
    }
    damaged(QStringLiteral("%1 at address %2 lies in no section of the file").arg(what, hex(rva)));
}

u64 Parser::map(std::uint32_t rva, u64 length, const QString& what) const {
    const auto [offset, rest] = mapRest(rva, what);
    if (length > rest)
        damaged(QStringLiteral("%1 (%2 bytes at address %3) run past the end of their section")
                    .arg(what)
                    .arg(length)
                    .arg(hex(rva)));
    return offset;
}

std::vector<DirEntry> Parser::directory(std::uint32_t offset, const QString& what) {
    if (!treeHas(offset, 16))
        damaged(QStringLiteral("%1 at %2 lies outside the resource section (%3 bytes)")
                    .arg(what, hex(offset))
                    .arg(treeSize_));
    const u64 at = treeBase_ + offset;
    const u64 count = u64{u16(at + 12)} + u16(at + 14); // named entries, then numbered ones
    if (!treeHas(u64{offset} + 16, count * 8))
        damaged(QStringLiteral("%1 at %2 lists %3 entries, more than the resource section holds")
                    .arg(what, hex(offset))
                    .arg(count));
    entriesRead_ += count;
    if (entriesRead_ > kMaxEntriesRead)
        damaged(QStringLiteral(
                    "the resource directory lists more than %1 entries: its entries point back into it")
                    .arg(kMaxEntriesRead));
    std::vector<DirEntry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (u64 i = 0; i < count; ++i)
        entries.push_back(DirEntry{u32(at + 16 + i * 8), u32(at + 20 + i * 8)});
    return entries;
}

template <typename Entry>
void Parser::readBlock(std::uint32_t block, u64 offset, u64 size, std::vector<Entry>& out) {
    u64 pos = 0;
    for (std::uint32_t i = 0; i < 16; ++i) {
        const std::uint32_t id = (block - 1) * 16 + i;
        if (pos + 2 > size)
            damaged(QStringLiteral("string block %1 (%2 bytes) ends before string %3")
                        .arg(block)
                        .arg(size)
                        .arg(id));
        const std::uint16_t length = u16(offset + pos);
        pos += 2;
        if (u64{length} * 2 > size - pos)
            damaged(QStringLiteral("string %1 (%2 characters) runs past the end of its block (%3 bytes)")
                        .arg(id)
                        .arg(length)
                        .arg(size));
        if (length > 0)
            out.push_back(
                Entry{static_cast<std::uint16_t>(id), length, static_cast<std::uint32_t>(offset + pos)});
        pos += u64{length} * 2;
    }
}

} // namespace

bool PeStringTable::parse(const QByteArray& bytes) {
    clear();
    try {
        entries_ = Parser(bytes).run<Entry>();
    } catch (const Failure& failure) {
        return fail(failure.status, failure.text);
    }
    if (entries_.empty())
        return fail(Status::NoStringTable, QStringLiteral("the string table holds no strings"));
    // A block listed twice: its first listing stands.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.id < b.id; });
    entries_.erase(std::unique(entries_.begin(), entries_.end(),
                               [](const Entry& a, const Entry& b) { return a.id == b.id; }),
                   entries_.end());
    bytes_ = bytes;
    status_ = Status::Ok;
    return true;
}

void PeStringTable::clear() {
    bytes_.clear();
    entries_.clear();
    status_ = Status::Empty;
    error_.clear();
}

bool PeStringTable::fail(Status status, const QString& error) {
    clear();
    status_ = status;
    error_ = error;
    return false;
}

const PeStringTable::Entry* PeStringTable::find(int id) const {
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), id,
                                     [](const Entry& e, int value) { return e.id < value; });
    return it != entries_.end() && it->id == id ? &*it : nullptr;
}

bool PeStringTable::contains(int id) const {
    return find(id) != nullptr;
}

QString PeStringTable::string(int id, qsizetype maxLength) const {
    const Entry* entry = find(id);
    if (entry == nullptr)
        return QString();
    const auto* units = reinterpret_cast<const uchar*>(bytes_.constData()) + entry->offset;
    const auto unit = [units](qsizetype i) { return qFromLittleEndian<quint16>(units + 2 * i); };

    qsizetype length = 0;
    while (length < entry->length && unit(length) != 0)
        ++length;
    if (maxLength >= 0 && length > maxLength) {
        length = maxLength;
        if (length > 0 && QChar::isHighSurrogate(unit(length - 1)))
            --length;
    }
    QString text(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i)
        text[i] = QChar(unit(i));
    return text;
}

QList<int> PeStringTable::ids() const {
    QList<int> out;
    out.reserve(count());
    for (const Entry& e : entries_)
        out << e.id;
    return out;
}
