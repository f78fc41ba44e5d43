#pragma once
// The lines of the "Return Buffer" list. Answers are kept as their bytes and a
// dump line is rendered only when the view asks for it, so the list stays small
// and fast however long the session.
//
// An answer appended with its layout (protocol/Layouts.h) tells what each of
// its bytes means. The view points at a byte with setPointedByte(); the line's
// Qt::ToolTipRole then describes the byte's field (name, record, offset, width,
// meaning, value) and HighlightRole gives, for every line the field spans, the
// bytes to highlight. A page highlights the bytes of a value it shows with
// markBytes(). Nothing is computed for a line while nothing is pointed at or
// marked.

#include <QAbstractListModel>
#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

#include <vector>

namespace protocol {
struct Layout;
}

class ReturnBufferModel : public QAbstractListModel {
    Q_OBJECT
  public:
    enum Role {
        HighlightRole = Qt::UserRole + 1, // ByteRuns of the line to highlight; none when nothing is
    };
    // A run of highlighted bytes of one dump line: `count` bytes from byte
    // `first` (0 to 15) of the line.
    struct ByteRun {
        int first = 0;
        int count = 0;
        friend bool operator==(const ByteRun&, const ByteRun&) = default;
    };
    using ByteRuns = QList<ByteRun>;

    explicit ReturnBufferModel(QObject* parent = nullptr);

    void appendLine(const QString& line);
    // An answer's dump; with the answer's layout its bytes tell their fields
    // (the layout is one of the catalogue's, which live for the whole run).
    void appendDump(const QByteArray& answer, const protocol::Layout* layout = nullptr);
    void clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    QString lineAt(int row) const;
    qsizetype storedBytes() const;

    // The lines of `rows` (in the order given) as text, each followed by '\n':
    // what "Copy" puts on the clipboard.
    QString linesText(const QList<int>& rows) const;
    // Every line to `out` as UTF-8, each followed by '\n', drawn one at a time
    // (a million lines never stand as one text); false when a write fails.
    bool writeText(QIODevice& out) const;

    // Points at byte `byte` (0 to 15) of dump line `row`; a heading line, a
    // byte outside the answer or its layout, or -1 points at nothing.
    void setPointedByte(int row, int byte);
    void clearPointedByte() { setPointedByte(-1, -1); }

    // Highlights bytes [from, to) of the most recent answer of `layout` until
    // the next answer, mark or clear; the lines they span, or {-1, -1} (and no
    // mark) when the buffer holds no such answer or the bytes are not in it.
    struct Rows {
        int first = -1;
        int last = -1;
    };
    Rows markBytes(const protocol::Layout& layout, int from, int to);
    void clearMark();

    // The first line of the most recent answer of `layout`; -1 when none.
    int lastAnswerRow(const protocol::Layout& layout) const;

    // What byte `offset` of an answer of that layout means: the field's name
    // (with its record, counted from 1), offset, width, meaning and value, one
    // to a line; empty when no field of the layout covers the byte or the
    // answer does not reach it.
    static QString describeByte(const protocol::Layout& layout, const QByteArray& answer, int offset);

  private:
    struct Block {
        int firstRow;
        int rows;
        QString line;                             // a heading line (rows == 1), or
        QByteArray bytes;                         // an answer dumped over rows lines
        const protocol::Layout* layout = nullptr; // the answer's, when known
    };
    // Bytes [from, to) of the answer of blocks_[block]; block -1: none.
    struct Span {
        int block = -1;
        int from = 0;
        int to = 0;
        friend bool operator==(const Span&, const Span&) = default;
    };
    const Block* blockFor(int row) const;
    void insert(Block block);
    Rows rowsOf(const Span& span) const;
    void appendRuns(const Span& span, int row, ByteRuns& runs) const;
    void changed(Rows rows);

    std::vector<Block> blocks_;
    int rowCount_ = 0;
    Span pointed_; // the field pointed at
    int pointedRow_ = -1;
    int pointedOffset_ = -1;
    Span marked_;
};
