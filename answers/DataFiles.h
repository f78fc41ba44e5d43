#pragma once
// The data files that the device library leaves behind after an upload
// ("_Plu.mem", "_FisRpt.mem", "_RtnPkg.mem"): the display of their values, the
// record-at-a-time reader, and the models behind the grids and the list that
// show them. No whole file is ever held in memory.

#include "core/AnswerDecoders.h"
#include "protocol/Layouts.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QIODevice>
#include <QStringList>

#include <functional>
#include <stdexcept>
#include <vector>

namespace answers {

// The files' names and record layouts are the catalogue's: protocol::kPluFile
// with protocol::PluRecord, protocol::kFiscalReportFile with
// protocol::FiscalReportRecord, protocol::kReturnPackageFile with
// protocol::PackageRecord.

// The general decimal form: shortest form, at most 15 significant digits, the
// workstation's decimal separator, no thousands separator.
QString GeneralDecimal(double value, const QLocale& locale = QLocale());

// A PLU value: 0xFFFF empty, 10000 "ZW", otherwise value / 100.
QString PluValueText(quint16 value, const QLocale& locale = QLocale());
// A return package value field: all 0xFF empty, otherwise the big-endian
// unsigned integer (up to 8 bytes) divided by divisor.
QString PackageValueText(const char* field, int width, int divisor, const QLocale& locale = QLocale());
// The first count bytes of a record up to the first zero byte.
QString FiscalReportLine(const char* record, int count);

// One cell of a full PLU record (column 0 name, 1 to 6 the values of
// protocol::PluRecord::values).
QString PluCell(const char* record, int column, const QLocale& locale = QLocale());
// One cell of a full return package record (column 0 name, 1 to 5 the values
// of protocol::PackageRecord::values).
QString PackageCell(const char* record, int column, const QLocale& locale = QLocale());

// The shared reader loop: records of recordSize bytes, read one at a time into a
// zeroed record area; show(record, bytesRead, first) for each; at least once, so
// an empty source gives one record of count 0. Stops at `size` bytes, and also
// when the source ends early (so a file that shrinks while read cannot loop).
void ReadRecords(QIODevice& source, int recordSize, qint64 size,
                 const std::function<void(const char* record, int count, bool first)>& show);

// Opens a data file for reading; on failure throws std::runtime_error with
// "Cannot open file "<name>". <reason>".
class DataFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
void ReadDataFile(const QString& fileName, int recordSize,
                  const std::function<void(const char* record, int count, bool first)>& show);

// The rows of a data-file grid: every record is kept as its raw bytes and a
// cell's text is made only when the view asks for it.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using CellFn = std::function<QString(const char* record, int column)>;
    RecordTableModel(int recordSize, CellFn cell, QObject* parent = nullptr);

    // A load: begin, then any number of startOver/append, then end (one reset for the view).
    void beginLoad();
    void endLoad();
    // The first record of a file: one header row, no data rows; columns and headers set.
    void startOver(const QStringList& headers);
    void append(const char* record);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    QString cell(int row, int column) const;
    QStringList headers() const { return headers_; }

  private:
    int recordSize_;
    CellFn cell_;
    QStringList headers_;
    std::vector<char> bytes_; // rowCount * recordSize_
    int rows_ = 0;
    bool loading_ = false;
};

// The lines of the fiscal report list.
class ReportLinesModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;
    void beginLoad();
    void endLoad();
    void clear();
    void append(const QString& line);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QString line(int row) const { return lines_.value(row); }

  private:
    QStringList lines_;
    bool loading_ = false;
};

} // namespace answers
