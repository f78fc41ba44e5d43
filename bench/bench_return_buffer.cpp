// The Return Buffer's speed and size: the dump formatter against xxd on the
// same bytes, ListBox1 after a long session, and start-up to the menu page.
//
//   build/bin/bench_return_buffer
#include "answers/ReturnBufferView.h"
#include "app/Main.h"
#include "core/HexDump.h"
#include "core/ReturnBufferModel.h"
#include "device/DeviceLibrary.h"
#include "protocol/Layouts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

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

QByteArray randomBytes(qsizetype n) {
    QByteArray b(n, Qt::Uninitialized);
    std::mt19937 rng(42);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = static_cast<char>(rng());
    return b;
}

void BM_DumpFormatter(benchmark::State& state) {
    // Streamed to /dev/null through a small buffer, as xxd does.
    const QByteArray bytes = randomBytes(16 << 20);
    FILE* devnull = std::fopen("/dev/null", "w");
    for (auto _ : state)
        hexdump::formatStream(reinterpret_cast<const unsigned char*>(bytes.constData()),
                              std::size_t(bytes.size()),
                              [&](const char* text, std::size_t n) { std::fwrite(text, 1, n, devnull); });
    std::fclose(devnull);
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_DumpFormatter)->Unit(benchmark::kMillisecond);

// xxd on the same 16 MiB, its output thrown away: the reference the formatter is measured against.
void BM_Xxd(benchmark::State& state) {
    const QString xxd = QStandardPaths::findExecutable(QStringLiteral("xxd"));
    if (xxd.isEmpty()) {
        state.SkipWithError("xxd is not installed");
        return;
    }
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("answer.bin"));
    QFile f(in);
    f.open(QIODevice::WriteOnly);
    f.write(randomBytes(16 << 20));
    f.close();
    for (auto _ : state) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(xxd, {in});
        p.waitForFinished(-1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * (16 << 20));
}
BENCHMARK(BM_Xxd)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// ListBox1 as the window builds it, holding a long session's million lines.
struct WithApplication {
    WithApplication() { app(); }
};
struct LongSession : WithApplication {
    ReturnBufferModel model;
    ReturnBufferView view;
    LongSession() {
        view.setObjectName(QStringLiteral("ListBox1"));
        view.setRowHeight(16);
        view.resize(792, 130);
        QFont mono(QStringLiteral("Courier New"));
        mono.setPixelSize(13);
        view.setFont(mono);
        view.setModel(&model);
        const QByteArray mib = randomBytes(1 << 20);
        for (int i = 0; i < 16; ++i) // 16 x 65,536 lines
            model.appendDump(mib);
        view.show();
        QCoreApplication::processEvents();
    }
};

void BM_ListBoxAppend100LinesAndRepaint(benchmark::State& state) {
    LongSession s;
    const QByteArray answer = randomBytes(98 * 16);
    for (auto _ : state) {
        s.model.appendLine(QStringLiteral("heading"));
        s.model.appendLine(QString());
        s.model.appendDump(answer);
        const QModelIndex last = s.model.index(s.model.rowCount() - 1, 0);
        s.view.setCurrentIndex(last);
        s.view.scrollTo(last);
        QCoreApplication::processEvents();
        s.view.viewport()->repaint();
    }
    state.counters["lines"] = s.model.rowCount();
    state.counters["MiB"] = double(s.model.storedBytes()) / (1 << 20);
}
BENCHMARK(BM_ListBoxAppend100LinesAndRepaint)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

void BM_ListBoxAppend1MiBAnswer(benchmark::State& state) {
    LongSession s;
    const QByteArray answer = randomBytes(1 << 20);
    for (auto _ : state) {
        s.model.appendDump(answer);
        const QModelIndex last = s.model.index(s.model.rowCount() - 1, 0);
        s.view.setCurrentIndex(last);
        s.view.scrollTo(last);
        QCoreApplication::processEvents();
        s.view.viewport()->repaint();
    }
    state.counters["MiB"] = double(s.model.storedBytes()) / (1 << 20);
}
BENCHMARK(BM_ListBoxAppend1MiBAnswer)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Pointing at the bytes of a hardware status answer at the end of the long
// session, the way the mouse does: the pointed byte set, then the tooltip of the
// pointed line and the highlight of the lines of both fields read. It moves
// between the tax ID (two lines) and the last Z number. Target: under 1 ms.
struct HoverSession : LongSession {
    int first = 0; // the answer's first line
    HoverSession() {
        QByteArray answer(protocol::HardwareStatus::layout.size, '0');
        answer[0] = 'O';
        model.appendDump(answer, &protocol::HardwareStatus::layout);
        first = model.rowCount() - 4;
        const QModelIndex last = model.index(model.rowCount() - 1, 0);
        view.setCurrentIndex(last);
        view.scrollTo(last);
        QCoreApplication::processEvents();
    }
    void hover(int i) {
        model.setPointedByte(i & 1 ? first + 2 : first, i & 1 ? 0 : 14);
        benchmark::DoNotOptimize(model.data(model.index(i & 1 ? first + 2 : first, 0), Qt::ToolTipRole));
        for (int row = first; row <= first + 2; ++row)
            benchmark::DoNotOptimize(model.data(model.index(row, 0), ReturnBufferModel::HighlightRole));
    }
};

void BM_HoverKnownAnswer(benchmark::State& state) {
    HoverSession s;
    int i = 0;
    for (auto _ : state)
        s.hover(i++);
    state.counters["lines"] = s.model.rowCount();
}
BENCHMARK(BM_HoverKnownAnswer)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same with the list repainted, as the screen shows it.
void BM_HoverKnownAnswerAndRepaint(benchmark::State& state) {
    HoverSession s;
    int i = 0;
    for (auto _ : state) {
        s.hover(i++);
        s.view.viewport()->repaint();
    }
}
BENCHMARK(BM_HoverKnownAnswerAndRepaint)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Start-up to the menu page shown, on a device that answers nothing.
struct IdleDevice : dev::IDeviceLibrary {
    int32_t open(const QByteArray&, int32_t) override { return 0; }
    int32_t close() override { return 0; }
    int32_t isCommandExecuting() override { return 1; }
    void abort() override {}
    int32_t getReturnBufLength(const QByteArray&) override { return 0; }
    CommandResult execCommand(const QByteArray&, char*, int32_t*) override { return dev::makeResult(0); }
    CommandResult command(const std::string&, const dev::Args&, char*, int32_t*) override {
        return dev::makeResult(0);
    }
    int32_t updateProgram(uintptr_t, const QByteArray&, int32_t) override { return 0; }
    void setIdleHandler(TavoIdleHandler, void*) override {}
};
struct SilentMessages : IMessageService {
    void show(const QString&, const QString&, Icon) override {}
    bool ask(const QString&, const QString&, Icon) override { return false; }
};

void BM_StartUpToMenuPage(benchmark::State& state) {
    app();
    IdleDevice user, service;
    SilentMessages messages;
    QTemporaryDir dir;
    TMainForm::Options o;
    o.programDir = dir.path();
    o.languageDir = QStringLiteral(CONSOLE_BIN_DIR);
    for (auto _ : state) {
        TMainForm form(dev::DeviceSet{&user, &service}, messages, o);
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.currentPage());
    }
}
BENCHMARK(BM_StartUpToMenuPage)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
