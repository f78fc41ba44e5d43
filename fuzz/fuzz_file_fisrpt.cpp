// Fuzzes the "_FisRpt.mem" reader: arbitrary file contents, read in 32-byte
// records, each (short last one included) turned into a report line.
#include "answers/DataFiles.h"

#include <QBuffer>

#include <algorithm>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QBuffer file;
    file.setData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    file.open(QIODevice::ReadOnly);
    answers::ReportLinesModel lines;
    lines.beginLoad();
    qint64 records = 0;
    answers::ReadRecords(file, answers::fisrpt::kRecordSize, file.size(), [&](const char* rec, int n, bool) {
        if (n < 0 || n > answers::fisrpt::kRecordSize)
            __builtin_trap();
        lines.append(answers::FiscalReportLine(rec, n));
        ++records;
    });
    lines.endLoad();
    if (records != std::max<qint64>(1, (static_cast<qint64>(size) + 31) / 32))
        __builtin_trap();
    return 0;
}
