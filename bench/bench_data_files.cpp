// How fast the uploaded data files reach the screen: "_Plu.mem" with 100,000
// records into sgrdPlu (goal under 1 s) and "_FisRpt.mem" with 100,000 lines
// into lstFisRpt (goal under 0.5 s), through the real decoders on the real
// main window, including the paint of the visible rows.
#include "answers/DataFiles.h"
#include "app/Main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class NullDevice : public dev::IDeviceLibrary {
  public:
    int32_t open(const QByteArray&, int32_t) override { return 0; }
    int32_t close() override { return 0; }
    int32_t isCommandExecuting() override { return 1; }
    void abort() override {}
    int32_t getReturnBufLength(const QByteArray&) override { return 0; }
    CommandResult execCommand(const QByteArray&, char*, int32_t* length) override {
        *length = 0;
        return dev::makeResult(0);
    }
    CommandResult command(const std::string&, const dev::Args&, char*, int32_t* length) override {
        *length = 0;
        return dev::makeResult(0);
    }
    int32_t updateProgram(uintptr_t, const QByteArray&, int32_t) override { return 0; }
    void setIdleHandler(TavoIdleHandler, void*) override {}
};

class SilentMessages : public IMessageService {
  public:
    void show(const QString&, const QString&, Icon) override { ++shown; }
    bool ask(const QString&, const QString&, Icon) override { return false; }
    int shown = 0;
};

struct Fixture {
    QTemporaryDir dir;
    NullDevice user, service;
    SilentMessages messages;
    std::unique_ptr<TMainForm> form;
    Fixture() {
        QDir::setCurrent(dir.path());
        TMainForm::Options o;
        o.programDir = dir.path();
        o.languageDir = QStringLiteral(CONSOLE_BIN_DIR);
        form = std::make_unique<TMainForm>(dev::DeviceSet{&user, &service}, messages, o);
        form->show();
        QCoreApplication::processEvents();
    }
    void write(const char* name, qint64 records, int size, const std::function<QByteArray(qint64)>& record) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        f.open(QIODevice::WriteOnly);
        QByteArray chunk;
        for (qint64 i = 0; i < records; ++i) {
            chunk += record(i).leftJustified(size, '\0', true);
            if (chunk.size() > (1 << 20)) {
                f.write(chunk);
                chunk.clear();
            }
        }
        f.write(chunk);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_PluFileIntoGrid(benchmark::State& state) {
    Fixture& f = fixture();
    const qint64 n = state.range(0);
    f.write(protocol::kPluFile, n, protocol::PluRecord::layout.size, [](qint64 i) {
        QByteArray r = QByteArray("ARTYKUL ").append(QByteArray::number(i)).leftJustified(40, ' ');
        for (int k = 0; k < 6; ++k) {
            const quint16 v = static_cast<quint16>((i * 7 + k * 1100) % 12000);
            r.append(char(v >> 8)).append(char(v & 0xFF));
        }
        return r;
    });
    auto* grid = f.form->findChild<QTableView*>(QStringLiteral("sgrdPlu"));
    for (auto _ : state) {
        f.form->context().ShowReturnBuffer(QStringLiteral("90"), QByteArray());
        grid->repaint(); // the visible rows drawn
        QCoreApplication::processEvents();
    }
    if (grid->model()->rowCount() != n || f.messages.shown != 0)
        state.SkipWithError("grid not filled");
    state.counters["records"] = static_cast<double>(n);
}

void BM_FiscalReportIntoList(benchmark::State& state) {
    Fixture& f = fixture();
    const qint64 n = state.range(0);
    f.write(protocol::kFiscalReportFile, n, protocol::FiscalReportRecord::layout.size,
            [](qint64 i) { return QByteArray("RAPORT OKRESOWY LINIA ").append(QByteArray::number(i)); });
    auto* list = f.form->findChild<QListView*>(QStringLiteral("lstFisRpt"));
    for (auto _ : state) {
        f.form->context().ShowReturnBuffer(QStringLiteral("15"), QByteArray());
        list->repaint();
        QCoreApplication::processEvents();
    }
    if (list->model()->rowCount() != n || f.messages.shown != 0)
        state.SkipWithError("list not filled");
    state.counters["lines"] = static_cast<double>(n);
}

} // namespace

BENCHMARK(BM_PluFileIntoGrid)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiscalReportIntoList)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    fixture().form.reset();
    benchmark::Shutdown();
    return 0;
}
