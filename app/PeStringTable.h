#pragma once
// The string table of a Windows PE file (an executable or a library, 32- or
// 64-bit), read from the file's bytes without loading it. The maker's language
// library is such a file: a resource-only Glosk.dll whose captions and messages
// are string resources, read by identifier.
//
// The table lives in the resource directory (data directory 2): type 6
// (strings), then a block number N, then a language. Block N holds the strings
// (N-1)*16 to (N-1)*16+15, each a 16-bit length in characters followed by that
// many UTF-16LE units. For each block the Polish one (0x0415) is read when the
// file has it, else a language-neutral or default one, else the first.
//
// Every offset and size is checked against the bytes given: a file that is no
// PE file, has no strings, or is cut short or damaged gives an error text and
// no strings, never a read past the bytes.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

class PeStringTable {
  public:
    static constexpr std::uint16_t kLanguagePolish = 0x0415;

    enum class Status {
        Empty,         // nothing parsed yet
        Ok,            // at least one string read
        NotPe,         // not a PE file at all
        NoStringTable, // a sound PE file without strings
        Damaged,       // a PE file cut short or with offsets or sizes that do not fit
    };

    // Reads the string table from `bytes` (kept, shared, while the table is in
    // use). True when at least one string was read; otherwise status() and
    // error() say why and the table is empty.
    bool parse(const QByteArray& bytes);
    void clear();

    Status status() const { return status_; }
    bool isValid() const { return status_ == Status::Ok; }
    // Why parse() failed, in words, with the offset concerned; empty after success.
    const QString& error() const { return error_; }

    // The string under `id`, up to its first nul character; the empty text when
    // the table has none. With `maxLength` >= 0 it is cut to at most that many
    // UTF-16 units, never between the two halves of a surrogate pair.
    QString string(int id, qsizetype maxLength = -1) const;
    bool contains(int id) const;
    // The identifiers of the non-empty strings, ascending.
    QList<int> ids() const;
    qsizetype count() const { return static_cast<qsizetype>(entries_.size()); }

  private:
    struct Entry {
        std::uint16_t id;
        std::uint16_t length; // in UTF-16 units
        std::uint32_t offset; // of the first unit, in bytes_
    };
    const Entry* find(int id) const;
    bool fail(Status status, const QString& error);

    QByteArray bytes_;
    std::vector<Entry> entries_; // sorted by id, one per id
    Status status_ = Status::Empty;
    QString error_;
};
