// The "Paper" view over a whole day of a busy shop: 100 more printed lines
// appended one at a time, as the print handler hands them, to a roll holding
// 100,000, with the view following the printing and painting each time; and
// the bytes the roll holds (target: at most 8 ms and 32 MiB).
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_paper_roll
#include "answers/PaperRollModel.h"
#include "answers/PaperRollView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *a;
}

// A receipt's worth of lines (about 30 a document), Polish letters included.
std::string line(int64_t i) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Książka %06lld     %8lld,00 D", static_cast<long long>(i % 1000000),
                  static_cast<long long>(i % 100000));
    return buf;
}

void fill(PaperRollModel& model, int64_t lines) {
    for (int64_t i = 0; i < lines; ++i)
        model.appendLine(line(i).c_str(), static_cast<int32_t>(i / 30));
}

void BM_Append100LinesTo100000WithTheView(benchmark::State& state) {
    app();
    PaperRollModel model;
    fill(model, 100000);
    PaperRollView view;
    view.setModel(&model);
    view.resize(340, 600);
    view.show();
    QCoreApplication::processEvents();
    int64_t next = 100000;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i, ++next)
            model.appendLine(line(next).c_str(), static_cast<int32_t>(next / 30));
        view.viewport()->repaint(); // the view's update, painted now
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (model.rowCount() > 110000) { // keep the roll at about 100,000 lines
            model.clear();
            fill(model, 100000);
            QCoreApplication::processEvents();
        }
        state.ResumeTiming();
    }
    state.counters["rows"] = model.rowCount();
    state.counters["following"] = view.following() ? 1 : 0;
}
BENCHMARK(BM_Append100LinesTo100000WithTheView)->Unit(benchmark::kMillisecond);

void BM_RollOf100000LinesInMemory(benchmark::State& state) {
    for (auto _ : state) {
        PaperRollModel model;
        fill(model, 100000);
        state.counters["MiB"] = static_cast<double>(model.storedBytes()) / (1024.0 * 1024.0);
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_RollOf100000LinesInMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Search100000Lines(benchmark::State& state) {
    PaperRollModel model;
    fill(model, 100000);
    for (auto _ : state)
        benchmark::DoNotOptimize(model.find(QStringLiteral("nie ma takiego"), -1));
}
BENCHMARK(BM_Search100000Lines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
