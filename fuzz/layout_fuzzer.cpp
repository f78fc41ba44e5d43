// One fuzzer per answer or record layout of the protocol catalogue
// (protocol/Layouts.h): fuzz/CMakeLists.txt compiles this file once per layout
// with -DLAYOUT=<the layout's namespace>, e.g. -DLAYOUT=HardwareStatus
// (add_layout_fuzzer). Each input is an answer, or a data file, of any length
// and content, kept in its own allocation so that any read past its end is
// caught. Every field of the layout is read through the console's field
// helpers, then the console's reader of that layout runs: it must refuse what
// it cannot read, never read past the input, and keep its promises.
#include "answers/DataFiles.h"
#include "core/AnswerDecoders.h"
#include "core/ExchangeRate.h"
#include "programming/ProgrammingRules.h"
#include "protocol/Layouts.h"

#include <QBuffer>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

#ifndef LAYOUT
#error "Compile with -DLAYOUT=<layout of protocol/Layouts.h>, e.g. -DLAYOUT=HardwareStatus"
#endif

namespace {

void sink(const QString& s) {
    volatile qsizetype n = s.size();
    (void)n;
}

// An answer a decoder accepted is whole: the layout's size and prefix.
void expectWhole(bool accepted, const QByteArray& answer, const protocol::Layout& layout) {
    if (accepted && (answer.size() < layout.size || !answer.startsWith(layout.prefix)))
        __builtin_trap();
}

// Every field of the layout, its record blocks included, as the console's
// helpers read it: never more than the field, never past the input.
void readEveryField(const QByteArray& input, const protocol::Layout& layout) {
    for (int offset = 0; offset < layout.size;) {
        const protocol::FieldAt at = protocol::fieldAt(layout, offset);
        if (!at.field)
            __builtin_trap(); // the catalogue covers every byte
        protocol::Field f = *at.field;
        f.offset = at.offset;
        if (answers::fieldBytes(input, f).size() > f.width)
            __builtin_trap();
        sink(answers::fieldText(input, f));
        (void)answers::fieldChar(input, f);
        offset = f.end();
    }
}

// The reader of a data file: records of the layout's size, each full one
// handed to the grid's model and every cell rendered.
template <typename Cell>
void readRecordFile(const QByteArray& input, const protocol::Layout& layout, int columns, Cell cell) {
    QBuffer file;
    file.setData(input);
    file.open(QIODevice::ReadOnly);
    answers::RecordTableModel model(layout.size, cell);
    QStringList headers;
    for (int c = 0; c < columns; ++c)
        headers << QString::number(c);
    model.beginLoad();
    answers::ReadRecords(file, layout.size, file.size(), [&](const char* rec, int n, bool first) {
        if (n < layout.size)
            return;
        if (first)
            model.startOver(headers);
        model.append(rec);
    });
    model.endLoad();
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c <= model.columnCount(); ++c)
            (void)model.cell(r, c);
}

// The console's reader of each layout; the layouts it does not read have none.
template <const protocol::Layout* L> struct Reader {
    static void run(const QByteArray&) {}
};

template <> struct Reader<&protocol::HardwareStatus::layout> {
    static void run(const QByteArray& answer) {
        const auto s = answers::decodeHardwareStatus(answer);
        expectWhole(s.has_value(), answer, protocol::HardwareStatus::layout);
        if (s)
            sink(s->idCode + s->idNumber + s->taxId + s->idFormat + s->lastZ + s->freeZ + s->batteryVoltage);
    }
};

template <> struct Reader<&protocol::SoftwareStatus::layout> {
    static void run(const QByteArray& answer) {
        const auto s =
            answers::decodeSoftwareStatus(answer, answers::DateSeparator(), answers::TimeSeparator());
        expectWhole(s.has_value(), answer, protocol::SoftwareStatus::layout);
        if (s)
            sink(s->date + s->time + s->receiptNo + s->subtotal + s->printBuffer + s->version);
    }
};

template <> struct Reader<&protocol::PrinterStatus::layout> {
    static void run(const QByteArray& answer) {
        const auto s = answers::decodePrinterStatus(answer);
        expectWhole(s.has_value(), answer, protocol::PrinterStatus::layout);
        if (s && (*s < 0 || *s > 7))
            __builtin_trap();
        if (s)
            sink(QString::number(*s));
    }
};

template <> struct Reader<&protocol::TaxRates::layout> {
    static void run(const QByteArray& answer) {
        const auto t = answers::decodeTaxRates(answer);
        expectWhole(t.has_value(), answer, protocol::TaxRates::layout);
        if (!t)
            return;
        for (const QString& r : t->rates)
            sink(r);
        sink(t->exemptLetter);
        if (t->exemptIndex < -1 || t->exemptIndex > 8)
            __builtin_trap();
    }
};

void uploadRows(const std::optional<answers::UploadRows>& rows, const QByteArray& answer,
                const protocol::Layout& layout) {
    expectWhole(rows.has_value(), answer, layout);
    if (!rows)
        return;
    if (rows->size() != layout.records)
        __builtin_trap(); // one row per record
    for (const QStringList& r : *rows)
        sink(r.join(QLatin1Char(0x7C)));
}

template <> struct Reader<&protocol::Departments::layout> {
    static void run(const QByteArray& answer) {
        uploadRows(answers::decodeDepartments(answer), answer, protocol::Departments::layout);
    }
};

template <> struct Reader<&protocol::HeaderLines::layout> {
    static void run(const QByteArray& answer) {
        uploadRows(answers::decodeHeaderLines(answer), answer, protocol::HeaderLines::layout);
    }
};

// Any length: every field is read only where it lies wholly inside the answer,
// in either decimal notation.
template <> struct Reader<&protocol::ExchangeRate::layout> {
    static void run(const QByteArray& answer) {
        for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Polish, QLocale::Poland)}) {
            const ExchangeRateAnswer parsed = ParseExchangeRate(answer, locale);
            (void)parsed;
            (void)ExchangeRateText(answer.left(protocol::ExchangeRate::FirstRate.width), locale);
        }
    }
};

// Any length: read only as far as the answer reaches.
template <> struct Reader<&protocol::CurrencyChange::layout> {
    static void run(const QByteArray& answer) {
        // A rate of 14 characters may gain the "0" put before a leading separator.
        for (QChar sep : {QChar('.'), QChar(',')}) {
            const prog::CurrencyChange c = prog::ParseCurrencyChange(answer, sep);
            if (c.state != prog::CurrencyChange::State::Set)
                continue;
            if (answer.size() < prog::kCurrencyChangeMinLength)
                __builtin_trap();
            if (c.secondName.has_value() != (answer.size() >= prog::kCurrencyChangeFullLength))
                __builtin_trap();
            if (c.year.size() != 2 || c.minute.size() != 2 ||
                c.rate1.rate.size() > protocol::CurrencyChange::FirstRate.width + 1)
                __builtin_trap();
            if (c.rate1.direction != QChar('A') && c.rate1.direction != QChar('B'))
                __builtin_trap();
        }
        // The rate filter never lets a second separator in, whatever the text.
        const QString text = QString::fromLatin1(answer.left(20));
        if (text.count('.') == 1 && prog::FilterRateKey(text, QChar('.'), QChar('.')))
            __builtin_trap();
    }
};

template <> struct Reader<&protocol::PluRecord::layout> {
    static void run(const QByteArray& file) {
        readRecordFile(file, protocol::PluRecord::layout,
                       1 + static_cast<int>(std::size(protocol::PluRecord::values)),
                       [](const char* r, int c) { return answers::PluCell(r, c); });
    }
};

template <> struct Reader<&protocol::PackageRecord::layout> {
    static void run(const QByteArray& file) {
        readRecordFile(file, protocol::PackageRecord::layout,
                       1 + static_cast<int>(std::size(protocol::PackageRecord::values)),
                       [](const char* r, int c) { return answers::PackageCell(r, c); });
    }
};

// Records of 32 bytes, each (a short last one included) one line of the report.
template <> struct Reader<&protocol::FiscalReportRecord::layout> {
    static void run(const QByteArray& file) {
        const int size = protocol::FiscalReportRecord::layout.size;
        QBuffer buffer;
        buffer.setData(file);
        buffer.open(QIODevice::ReadOnly);
        answers::ReportLinesModel lines;
        lines.beginLoad();
        qint64 records = 0;
        answers::ReadRecords(buffer, size, buffer.size(), [&](const char* rec, int n, bool) {
            if (n < 0 || n > size)
                __builtin_trap();
            lines.append(answers::FiscalReportLine(rec, n));
            ++records;
        });
        lines.endLoad();
        if (records != std::max<qint64>(1, (file.size() + size - 1) / size))
            __builtin_trap();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so any read past the input is caught.
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    constexpr const protocol::Layout* layout = &protocol::LAYOUT::layout;
    readEveryField(input, *layout);
    Reader<layout>::run(input);
    return 0;
}
