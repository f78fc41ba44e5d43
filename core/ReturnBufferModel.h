#pragma once
// The lines of the "Return Buffer" list. Answers are kept as their bytes and a
// dump line is rendered only when the view asks for it, so the list stays small
// and fast however long the session.

#include <QAbstractListModel>
#include <QByteArray>
#include <QString>

#include <vector>

class ReturnBufferModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit ReturnBufferModel(QObject* parent = nullptr);

    void appendLine(const QString& line);
    void appendDump(const QByteArray& answer);
    void clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    QString lineAt(int row) const;
    qsizetype storedBytes() const;

  private:
    struct Block {
        int firstRow;
        int rows;
        QString line;     // a heading line (rows == 1), or
        QByteArray bytes; // an answer dumped over rows lines
    };
    const Block* blockFor(int row) const;
    void insert(Block block);

    std::vector<Block> blocks_;
    int rowCount_ = 0;
};
