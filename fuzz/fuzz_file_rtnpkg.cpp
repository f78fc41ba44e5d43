// Fuzzes the "_RtnPkg.mem" reader: arbitrary file contents, read record by
// record, every full record's cells rendered (6-byte values included).
#include "answers/DataFiles.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QBuffer file;
    file.setData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    file.open(QIODevice::ReadOnly);
    answers::RecordTableModel model(answers::pkg::kRecordSize,
                                    [](const char* r, int c) { return answers::PackageCell(r, c); });
    model.beginLoad();
    answers::ReadRecords(file, answers::pkg::kRecordSize, file.size(),
                         [&](const char* rec, int n, bool first) {
                             if (n < answers::pkg::kRecordSize)
                                 return;
                             if (first)
                                 model.startOver({"n", "1", "2", "3", "4", "5"});
                             model.append(rec);
                         });
    model.endLoad();
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c <= model.columnCount(); ++c)
            (void)model.cell(r, c);
    return 0;
}
