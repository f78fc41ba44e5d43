// The data files: value display, the record-at-a-time reader and the grid models.

#include "answers/DataFiles.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace answers;

namespace {
const QLocale kDot(QLocale::C);
const QLocale kComma(QLocale::Polish, QLocale::Poland);

QByteArray pluRecord(const QByteArray& name, std::initializer_list<quint16> values) {
    QByteArray r = name.leftJustified(protocol::PluRecord::Name.width, ' ', true);
    for (quint16 v : values) {
        r.append(char(v >> 8));
        r.append(char(v & 0xFF));
    }
    return r.leftJustified(protocol::PluRecord::layout.size, '\0');
}

std::vector<std::pair<QByteArray, bool>> readAll(const QByteArray& data, int recordSize, qint64 size = -1) {
    QBuffer b;
    b.setData(data);
    b.open(QIODevice::ReadOnly);
    std::vector<std::pair<QByteArray, bool>> out;
    ReadRecords(b, recordSize, size < 0 ? data.size() : size,
                [&](const char* rec, int n, bool first) { out.emplace_back(QByteArray(rec, n), first); });
    return out;
}
} // namespace

TEST(PluValues, DisplayRules) {
    EXPECT_EQ(PluValueText(2200, kDot), "22");
    EXPECT_EQ(PluValueText(750, kDot), "7.5");
    EXPECT_EQ(PluValueText(750, kComma), "7,5");
    EXPECT_EQ(PluValueText(0, kDot), "0");
    EXPECT_EQ(PluValueText(10000, kDot), "ZW");
    EXPECT_EQ(PluValueText(0xFFFF, kDot), "");
    EXPECT_EQ(PluValueText(65534, kComma), "655,34"); // no thousands separator
    EXPECT_EQ(PluValueText(7, kDot), "0.07");
}

TEST(PluValues, BigEndianCellsOfARecord) {
    const QByteArray r = pluRecord("MLEKO", {0x0898, 0x2710, 0xFFFF, 750, 0, 1});
    EXPECT_EQ(PluCell(r.constData(), 0, kDot), QString("MLEKO").leftJustified(40));
    EXPECT_EQ(PluCell(r.constData(), 1, kDot), "22");
    EXPECT_EQ(PluCell(r.constData(), 2, kDot), "ZW");
    EXPECT_EQ(PluCell(r.constData(), 3, kDot), "");
    EXPECT_EQ(PluCell(r.constData(), 4, kDot), "7.5");
    EXPECT_EQ(PluCell(r.constData(), 6, kDot), "0.01");
    EXPECT_EQ(PluCell(r.constData(), 7, kDot), ""); // no such column
}

TEST(PackageValues, WholeWidthBigEndianWithDivisors) {
    const char v1[] = {0, 0, 0, 1, char(0xE2), 0x40};
    EXPECT_EQ(PackageValueText(v1, 6, 100, kDot), "1234.56");
    const char v2[] = {0, 1, char(0xE2), 0x40};
    EXPECT_EQ(PackageValueText(v2, 4, 1000, kDot), "123.456");
    EXPECT_EQ(PackageValueText(v2, 4, 1000, kComma), "123,456");
    const char ff[] = {char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF), char(0xFF)};
    EXPECT_EQ(PackageValueText(ff, 4, 1000, kDot), "");
    EXPECT_EQ(PackageValueText(ff, 6, 100, kDot), "");
    // A 6-byte field beyond 32 bits is read over its whole width.
    const char big[] = {0x01, 0, 0, 0, 0, 0}; // 2^40
    EXPECT_EQ(PackageValueText(big, 6, 100, kDot), "10995116277.76");
    // Not all 0xFF is a number.
    const char almost[] = {char(0xFF), char(0xFF), char(0xFF), char(0xFE)};
    EXPECT_EQ(PackageValueText(almost, 4, 1000, kDot), "4294967.294");
}

TEST(FiscalReportLines, UpToTheFirstZeroByte) {
    EXPECT_EQ(FiscalReportLine("RAPORT\0xyz", 10), "RAPORT");
    EXPECT_EQ(FiscalReportLine("\0RAPORT", 7), "");
    EXPECT_EQ(FiscalReportLine("ABCD", 4), "ABCD");
    EXPECT_EQ(FiscalReportLine("ABCDEFGH", 3), "ABC");
    EXPECT_EQ(FiscalReportLine("X", 0), "");
}

TEST(RecordReader, SplitsIntoRecordsAndAShortLastOne) {
    QByteArray data;
    for (int i = 0; i < 100; ++i)
        data.append(char('a' + i % 26));
    const auto recs = readAll(data, 32); // a 100-byte report file: four lines, the last of 4 bytes
    ASSERT_EQ(recs.size(), 4u);
    EXPECT_TRUE(recs[0].second);
    EXPECT_FALSE(recs[1].second);
    EXPECT_EQ(recs[3].first.size(), 4);
    EXPECT_EQ(recs[3].first, data.mid(96));
}

TEST(RecordReader, EmptySourceIsOneRecordOfCountZero) {
    const auto recs = readAll(QByteArray(), 64);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].first.size(), 0);
    EXPECT_TRUE(recs[0].second);
}

TEST(RecordReader, SourceShorterThanAnnouncedEndsInsteadOfLooping) {
    const auto recs = readAll(QByteArray(64, 'x'), 64, 1'000'000);
    ASSERT_EQ(recs.size(), 2u); // the record, then one empty read that ends the loop
    EXPECT_EQ(recs[1].first.size(), 0);
}

TEST(RecordReader, MissingFileRaisesTheOpenError) {
    try {
        ReadDataFile("/nonexistent-dir/_Plu.mem", 64, [](const char*, int, bool) { FAIL(); });
        FAIL() << "no error";
    } catch (const DataFileError& e) {
        EXPECT_TRUE(
            QString::fromUtf8(e.what()).startsWith("Cannot open file \"/nonexistent-dir/_Plu.mem\". "))
            << e.what();
    }
}

TEST(RecordModel, StartOverResetsAndAppendsRows) {
    RecordTableModel m(protocol::PluRecord::layout.size,
                       [](const char* r, int c) { return PluCell(r, c, QLocale::c()); });
    const QByteArray a = pluRecord("A", {2200}), b = pluRecord("B", {100});
    m.beginLoad();
    m.startOver({"Name", "V0", "V1", "V2", "V3", "V4", "V5"});
    m.append(a.constData());
    m.append(b.constData());
    m.endLoad();
    EXPECT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.columnCount(), 7);
    EXPECT_EQ(m.cell(1, 1), "1");
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), "Name");
    m.startOver({"Name"});
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(m.cell(5, 0), ""); // out of range is empty, not a crash
}
