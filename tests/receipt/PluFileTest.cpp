// The article file: load, lookup, sold-quantity update and the safe rewrite.

#include "programming/PluFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QLocale kPoint(QLocale::English, QLocale::UnitedStates);
const QLocale kComma(QLocale::Polish, QLocale::Poland);

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

struct PluFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path;
    PluTable table;
    void load(const QByteArray& content) {
        path = dir.filePath(QStringLiteral("shop.plu"));
        writeAll(path, content);
        ASSERT_EQ(LoadPluFile(table, path), PluLoadStatus::Loaded);
    }
};

TEST_F(PluFileTest, LoadsLinesBarcodesAndEveryLineEnd) {
    load("Milk\t123\tszt\t1.50\tA\t0\r\nBread\t456\tszt\t2.00\tB\t1\nNoTab\rOneTab\tx\rLast\tLB\t\t\t\t");
    EXPECT_EQ(table.PluLines.size(), 5);
    EXPECT_EQ(table.PluBarcodes, (QStringList{"123", "456", "", "", "LB"}));
    EXPECT_EQ(table.PluLines.at(1), QStringLiteral("Bread\t456\tszt\t2.00\tB\t1"));
    EXPECT_EQ(table.PluFileName, path);
    // Polish letters in the workstation's code page are read as such.
    load("\xAF\xF3\xB3w\t9\tszt\t1\tA\t0\r\n");
    EXPECT_EQ(table.PluLines.at(0).left(4), QString::fromUtf8("Żółw"));
}

TEST_F(PluFileTest, MissingAndUnreadableFiles) {
    load("A\t1\tu\t1\tA\t0\r\n");
    EXPECT_EQ(LoadPluFile(table, dir.filePath(QStringLiteral("none.plu"))), PluLoadStatus::NoFile);
    EXPECT_TRUE(table.PluFileName.isEmpty());
    EXPECT_EQ(table.PluLines.size(), 1); // nothing else changed
    QString error;
    EXPECT_EQ(LoadPluFile(table, dir.path(), &error), PluLoadStatus::Failed);
    EXPECT_TRUE(table.PluLines.isEmpty());
    EXPECT_TRUE(table.PluFileName.isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral("1")), -1);
}

TEST_F(PluFileTest, LookupIgnoresTrailingBlanksAndCaseAndTakesTheFirstLine) {
    load("One\tAB12\tszt\t1\tA\t0\r\nTwo\tab12\tszt\t2\tA\t0\r\nThree\t77\tszt\t3\tA\t0\r\n");
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral("AB12")), 0);
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral("ab12  ")), 0);
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral("77 ")), 2);
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral(" 77")), -1); // leading blanks count
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral("78")), -1);
    // A second file replaces the first entirely.
    load("New\t99\tszt\t1\tA\t0\r\n");
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral("AB12")), -1);
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral("99")), 0);
}

TEST_F(PluFileTest, SaleAndCancelRewriteTheFirstMatchingLine) {
    load("Milk\t123\tszt\t1.50\tA\t0\r\nCopy\t123\tszt\t1.50\tA\t5\r\nSeven\t7\tszt\t1\tA\t1\textra\r\n");
    ASSERT_EQ(AddPluSoldQuantity(table, QStringLiteral("123"), true, 2, kPoint).status,
              PluUpdateResult::Updated);
    EXPECT_EQ(
        readAll(path),
        "Milk\t123\tszt\t1.50\tA\t2\r\nCopy\t123\tszt\t1.50\tA\t5\r\nSeven\t7\tszt\t1\tA\t1\textra\r\n");
    ASSERT_EQ(AddPluSoldQuantity(table, QStringLiteral("123"), false, 2, kPoint).status,
              PluUpdateResult::Updated);
    EXPECT_EQ(table.PluLines.at(0), QStringLiteral("Milk\t123\tszt\t1.50\tA\t0"));
    // The seventh field is dropped at the first update; a fraction uses the locale.
    ASSERT_EQ(AddPluSoldQuantity(table, QStringLiteral("7"), true, 1.5, kComma).status,
              PluUpdateResult::Updated);
    EXPECT_TRUE(readAll(path).endsWith("Seven\t7\tszt\t1\tA\t2,5\r\n"));
    EXPECT_EQ(AddPluSoldQuantity(table, QStringLiteral("404"), true, 1, kPoint).status,
              PluUpdateResult::NotFound);
}

TEST_F(PluFileTest, ShortLinesAndBadQuantitiesChangeNothing) {
    const QByteArray content = "Short\t1\tszt\t2\tA\r\nBad\t2\tszt\t2\tA\tlots\r\nEmpty\t3\tszt\t2\tA\t\r\n";
    load(content);
    for (const char* code : {"1", "2", "3"}) {
        const PluUpdateResult r = AddPluSoldQuantity(table, QString::fromLatin1(code), true, 1, kPoint);
        EXPECT_EQ(r.status, PluUpdateResult::BadLine) << code;
        EXPECT_FALSE(r.message.isEmpty());
    }
    EXPECT_EQ(readAll(path), content);
    EXPECT_TRUE(table.PluLines.at(1).endsWith(QStringLiteral("lots")));
}

TEST_F(PluFileTest, FailedWriteKeepsTableAndFile) {
    const QByteArray content = "Milk\t123\tszt\t1.50\tA\t4\r\n";
    load(content);
    // The temporary file's place is taken by a folder, so the save cannot start.
    ASSERT_TRUE(QDir().mkpath(SafeWriteTempPath(path)));
    const PluUpdateResult r = AddPluSoldQuantity(table, QStringLiteral("123"), true, 1, kPoint);
    EXPECT_EQ(r.status, PluUpdateResult::WriteFailed);
    EXPECT_TRUE(r.message.contains(QStringLiteral("shop.plu"))) << r.message.toStdString();
    EXPECT_EQ(readAll(path), content);
    EXPECT_EQ(table.PluLines.at(0), QStringLiteral("Milk\t123\tszt\t1.50\tA\t4"));
    QDir().rmdir(SafeWriteTempPath(path));
    EXPECT_EQ(AddPluSoldQuantity(table, QStringLiteral("123"), true, 1, kPoint).status,
              PluUpdateResult::Updated);
    EXPECT_EQ(readAll(path), "Milk\t123\tszt\t1.50\tA\t5\r\n");
}

TEST_F(PluFileTest, RewriteKeepsBytesItDoesNotChange) {
    // Bytes the code page leaves undefined (0x81, 0x98) and Polish letters survive.
    const QByteArray name = "Z\x81\x98\xB9\xEA";
    load(name + "\t5\tkg\t3.10\tB\t1\r\n");
    ASSERT_TRUE(AddPluSoldQuantity(table, QStringLiteral("5"), true, 1, kPoint).ok());
    EXPECT_EQ(readAll(path), name + "\t5\tkg\t3.10\tB\t2\r\n");
}

TEST_F(PluFileTest, StaleTemporaryFileIsRemovedAtLoad) {
    path = dir.filePath(QStringLiteral("shop.plu"));
    writeAll(path, "A\t1\tu\t1\tA\t0\r\n");
    // A save killed in a process that is gone, and one in this process.
    const QString dead = path + QStringLiteral(".~999999999.tmp");
    writeAll(dead, "half");
    writeAll(SafeWriteTempPath(path), "half");
    const QString unrelated = path + QStringLiteral(".backup");
    writeAll(unrelated, "keep");
    ASSERT_EQ(LoadPluFile(table, path), PluLoadStatus::Loaded);
    EXPECT_FALSE(QFile::exists(dead));
    EXPECT_FALSE(QFile::exists(SafeWriteTempPath(path)));
    EXPECT_TRUE(QFile::exists(unrelated));
}

// The plain reading of the file, line by line, that the loader must agree with.
struct Reference {
    QStringList lines;
    QStringList barcodes;
};
Reference referenceRead(const QByteArray& data) {
    Reference r;
    QByteArray line;
    auto end = [&] {
        QString decoded;
        for (const char c : line)
            decoded += QChar(static_cast<unsigned char>(c)); // test data is ASCII
        r.lines += decoded;
        const QStringList f = decoded.split(u'\t');
        r.barcodes += f.size() >= 3 ? f.at(1) : QString();
        line.clear();
    };
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data.at(i);
        if (c == '\r' || c == '\n') {
            end();
            if (c == '\r' && i + 1 < data.size() && data.at(i + 1) == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        end();
    return r;
}

TEST_F(PluFileTest, LargeFileAgreesWithALineByLineReadingAcrossReadBlocks) {
    std::mt19937 random(99);
    const char* ends[] = {"\r\n", "\r", "\n", "\r\n\r\n"};
    QByteArray data;
    int i = 0;
    while (data.size() < 600000) {
        const int kind = static_cast<int>(random() % 8);
        QByteArray line = "Art " + QByteArray::number(i);
        if (kind != 0)
            line += "\t" + QByteArray::number(i % 5000) + (i % 3 ? "x" : "X");
        if (kind > 1)
            line += "\tszt\t1.50\tA\t" + QByteArray::number(i % 7);
        data += line + ends[random() % 4];
        ++i;
    }
    // A CR LF split between two read blocks, and a line running across the next boundary.
    constexpr int kBlock = 128 * 1024;
    QByteArray cut = data.left(kBlock - 20);
    cut += QByteArray(19, 'p') + "\r\n" + QByteArray(30, 'q') + "\tSPLIT\t" + QByteArray(kBlock, 'r') + "\n";
    cut += data.mid(kBlock - 20);
    load(cut);
    const Reference want = referenceRead(cut);
    ASSERT_EQ(table.PluLines.size(), want.lines.size());
    EXPECT_TRUE(table.PluLines == want.lines);
    EXPECT_TRUE(table.PluBarcodes == want.barcodes);
    // The first line of each barcode, compared without letter case.
    for (const QString& code : {QStringLiteral("SPLIT"), QStringLiteral("17x"), QStringLiteral("18X"),
                                QStringLiteral("4999X"), QStringLiteral("")}) {
        int first = -1;
        for (qsizetype k = 0; k < want.barcodes.size() && first < 0; ++k)
            if (want.barcodes.at(k).compare(code, Qt::CaseInsensitive) == 0)
                first = static_cast<int>(k);
        EXPECT_EQ(LookupPluBarcode(table, code), first) << code.toStdString();
        EXPECT_EQ(LookupPluBarcode(table, code.toLower() + QStringLiteral("  ")), first)
            << code.toStdString();
    }
}

TEST_F(PluFileTest, PolishBarcodesMatchInEitherCaseAndRepeatedUpdatesKeepOtherLines) {
    // "ŻÓŁW1" and "żółw1" in the workstation's code page: the first line wins.
    load("Upper\t\xAF\xD3\xA3W1\tszt\t1\tA\t0\r\nLower\t\xBF\xF3\xB3w1\tszt\t1\tA\t0\r\n"
         "Other\tQ\tszt\t1\tA\t3\r\n");
    EXPECT_EQ(LookupPluBarcode(table, QString::fromUtf8("żółw1")), 0);
    EXPECT_EQ(LookupPluBarcode(table, QString::fromUtf8("ŻółW1 ")), 0);
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral("q")), 2);
    for (int k = 0; k < 3; ++k)
        ASSERT_EQ(AddPluSoldQuantity(table, QString::fromUtf8("żÓłw1"), true, 1, kPoint).status,
                  PluUpdateResult::Updated);
    ASSERT_EQ(AddPluSoldQuantity(table, QStringLiteral("Q"), false, 1, kPoint).status,
              PluUpdateResult::Updated);
    EXPECT_EQ(readAll(path), "Upper\t\xAF\xD3\xA3W1\tszt\t1\tA\t3\r\nLower\t\xBF\xF3\xB3w1\tszt\t1\tA\t0\r\n"
                             "Other\tQ\tszt\t1\tA\t2\r\n");
    EXPECT_EQ(table.PluBarcodes.at(0), QString::fromUtf8("ŻÓŁW1"));
    // A copy of the table stands on its own once the original is gone.
    auto copy = std::make_unique<PluTable>(table);
    table.clear();
    EXPECT_EQ(LookupPluBarcode(table, QStringLiteral("Q")), -1);
    EXPECT_EQ(LookupPluBarcode(*copy, QString::fromUtf8("ŻÓŁW1")), 0);
    EXPECT_EQ(copy->PluLines.at(2), QStringLiteral("Other\tQ\tszt\t1\tA\t2"));
}

// A child saves two versions of a file in turn, up to 1,000 times, and is
// killed at a random moment; the file is always one whole version.
TEST(SafeWrite, SurvivesKillsAtRandomMoments) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kill.plu"));
    QByteArray a, b;
    for (int i = 0; i < 20000; ++i) {
        a += "Article A\t" + QByteArray::number(i) + "\tszt\t1.00\tA\t0\r\n";
        b += "Article B\t" + QByteArray::number(i) + "\tszt\t2.00\tB\t1\r\n";
    }
    ASSERT_TRUE(SafeWriteFile(path, a));
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 40000);
    int kills = 0;
    for (int round = 0; round < 25; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < 1000; ++i)
                SafeWriteFile(path, i % 2 ? a : b);
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(delayUs(random)));
        if (::kill(child, SIGKILL) == 0)
            ++kills;
        int status = 0;
        ::waitpid(child, &status, 0);
        const QByteArray now = readAll(path);
        ASSERT_TRUE(now == a || now == b) << "torn file of " << now.size() << " bytes in round " << round;
        CleanStaleSaveFiles(path);
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        ASSERT_EQ(left, QStringList{QStringLiteral("kill.plu")});
    }
    EXPECT_GT(kills, 0);
}

} // namespace
