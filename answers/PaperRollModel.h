#pragma once
// The printer's paper roll as the printer prints it: one row per printed line
// (UTF-8 text of at most 32 characters, kept as bytes in one growing block)
// and a tear row wherever a new document begins. A whole day of a busy shop
// (100,000 lines) takes a few megabytes; rows are decoded only when the view
// asks for them.

#include <QAbstractListModel>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class PaperRollModel : public QAbstractListModel {
    Q_OBJECT
  public:
    enum class Kind { Line = 0, Tear = 1, Interrupted = 2 };
    enum Role { KindRole = Qt::UserRole + 1, DocumentRole };
    static constexpr int kPaperColumns = 32;
    // Beyond this many rows the oldest tenth is let go (a week of a busy shop).
    static constexpr int kMaxRows = 1'000'000;

    explicit PaperRollModel(QObject* parent = nullptr);

    // One printed line of document `documentNumber`. A line whose document
    // differs from the line before it starts with a tear row; the library's
    // "printing interrupted" marker is kept as its own kind, followed by a tear.
    void appendLine(const char* utf8, int32_t documentNumber);
    void appendLine(const QString& text, int32_t documentNumber);
    void clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    QString lineAt(int row) const; // a tear row reads as an empty text
    Kind kindAt(int row) const;
    int32_t documentAt(int row) const;

    // The next row from `from` (exclusive) holding `text` regardless of case,
    // wrapping around; -1 when no row holds it.
    int find(const QString& text, int from, bool backward = false) const;
    // The roll as UTF-8 text, a tear as a row of "- "; written whole or not at all.
    bool saveText(const QString& path, QString* error = nullptr) const;
    QByteArray text() const;

    qsizetype storedBytes() const;

  private:
    struct Row {
        uint32_t offset; // into bytes_
        uint16_t length;
        uint8_t kind;
        int32_t document;
    };
    void push(Kind kind, const char* utf8, std::size_t length, int32_t documentNumber);
    void dropOldest();

    std::string bytes_;
    std::vector<Row> rows_;
    bool tearNext_ = false; // the next line starts a new piece of paper
};
