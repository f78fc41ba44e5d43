// The article table: loading a 100,000-line file, barcode lookups, and one
// sale's sold-quantity update with the safe rewrite of the whole file.

#include "programming/PluFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kLines = 100000;

QString barcodeOf(int i) {
    return QStringLiteral("59%1").arg(i * 7919 % 10000000, 11, 10, QLatin1Char('0'));
}

// About 5 MB: fifty-odd bytes a line.
const QString& articleFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("bench.plu"));
        QByteArray data;
        data.reserve(kLines * 56);
        for (int i = 0; i < kLines; ++i)
            data += "Article name " + QByteArray::number(i).rightJustified(6, '0') + "\t" +
                    barcodeOf(i).toLatin1() + "\tszt\t" + QByteArray::number(1 + i % 500) + ".99\t" +
                    char('A' + i % 9) + "\t" + QByteArray::number(i % 37) + "\r\n";
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        return p;
    }();
    return path;
}

void BM_LoadPluFile(benchmark::State& state) {
    const QString& path = articleFile();
    for (auto _ : state) {
        PluTable table;
        if (LoadPluFile(table, path) != PluLoadStatus::Loaded)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(table.PluLines.size());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_LoadPluFile)->Unit(benchmark::kMillisecond);

void BM_100kBarcodeLookups(benchmark::State& state) {
    PluTable table;
    LoadPluFile(table, articleFile());
    std::vector<QString> keys;
    std::mt19937 random(7);
    for (int i = 0; i < kLines; ++i)
        keys.push_back(i % 10 == 0 ? QStringLiteral("404")
                                   : barcodeOf(static_cast<int>(random() % kLines)) + QStringLiteral("  "));
    for (auto _ : state) {
        int found = 0;
        for (const QString& k : keys)
            found += LookupPluBarcode(table, k) >= 0;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_100kBarcodeLookups)->Unit(benchmark::kMillisecond);

void BM_SaleUpdateWithSafeRewrite(benchmark::State& state) {
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("sale.plu"));
    QFile::copy(articleFile(), copy);
    PluTable table;
    LoadPluFile(table, copy);
    int i = 0;
    for (auto _ : state) {
        const PluUpdateResult r = AddPluSoldQuantity(table, barcodeOf(i++ % kLines), true, 1.0);
        if (r.status != PluUpdateResult::Updated)
            state.SkipWithError("update failed");
    }
}
BENCHMARK(BM_SaleUpdateWithSafeRewrite)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
