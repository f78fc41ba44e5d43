// The cost of the bridge: one cmPrinterStatus (with its buffer) on the
// virtual printer's library called directly, then through the bridge client
// to the Linux host on the same library, then to the Windows host under Wine.
// The host is started once, at OpenTavo; each iteration is one round trip.
//
// The Wine case needs a folder of Windows device libraries (the stand-ins
// scripts/test-bridge-windows.sh builds, or the maker's):
//   BENCH_BRIDGE_WINE_DIR=/path/to/dlls bench_bridge
// Without it that case is skipped with a note.

#include "device/TavoApi.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Api {
    decltype(&::OpenTavo) open = nullptr;
    decltype(&::CloseTavo) close = nullptr;
    decltype(&::cmPrinterStatus) status = nullptr;
};

Api load(const std::string& path) {
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (h == nullptr) {
        std::fprintf(stderr, "bench_bridge: %s\n", dlerror());
        std::exit(EXIT_FAILURE);
    }
    Api a;
    a.open = reinterpret_cast<decltype(a.open)>(dlsym(h, "OpenTavo"));
    a.close = reinterpret_cast<decltype(a.close)>(dlsym(h, "CloseTavo"));
    a.status = reinterpret_cast<decltype(a.status)>(dlsym(h, "cmPrinterStatus"));
    return a;
}

const Api& direct() {
    static const Api a = load(CONSOLE_BIN_DIR "/libTavoUser.so");
    return a;
}
const Api& client() {
    static const Api a = load(CONSOLE_BIN_DIR "/bridge/libTavoUser.so");
    return a;
}

void roundTrips(benchmark::State& state, const Api& api, const char* port) {
    if (api.open(port, 9600) != 0) {
        state.SkipWithError("OpenTavo failed (see the messages above)");
        return;
    }
    char buffer[64];
    for (auto _ : state) {
        int32_t length = sizeof buffer;
        const CommandResult r = api.status(buffer, &length);
        if (r.Status != 0) {
            state.SkipWithError("cmPrinterStatus failed");
            break;
        }
        benchmark::DoNotOptimize(buffer);
    }
    api.close();
}

void PrinterStatus_Direct(benchmark::State& state) {
    roundTrips(state, direct(), "COM1");
}

void PrinterStatus_BridgeLinuxHost(benchmark::State& state) {
    setenv("TAVO_BRIDGE_COMMAND", CONSOLE_BIN_DIR "/tavo-bridge --dir " CONSOLE_BIN_DIR, 1);
    roundTrips(state, client(), "COM1");
}

void PrinterStatus_BridgeWine(benchmark::State& state) {
    const char* dir = std::getenv("BENCH_BRIDGE_WINE_DIR");
    const std::string wine =
        access("/usr/bin/wine64", X_OK) == 0 ? "/usr/bin/wine64" : "/usr/lib/wine/wine64";
    const std::string host = CONSOLE_BIN_DIR "/bridge/tavo-bridge-x64.exe";
    if (dir == nullptr || access(host.c_str(), R_OK) != 0 || access(wine.c_str(), X_OK) != 0) {
        state.SkipWithError("set BENCH_BRIDGE_WINE_DIR to a folder of 64-bit Windows device libraries "
                            "(and have Wine and tavo-bridge-x64.exe)");
        return;
    }
    setenv("TAVO_BRIDGE_COMMAND", (wine + " " + host + " --dir Z:" + dir).c_str(), 1);
    roundTrips(state, client(),
               std::getenv("BENCH_BRIDGE_WINE_PORT") ? std::getenv("BENCH_BRIDGE_WINE_PORT") : "COM1");
}

} // namespace

BENCHMARK(PrinterStatus_Direct)->Unit(benchmark::kMillisecond);
BENCHMARK(PrinterStatus_BridgeLinuxHost)->Unit(benchmark::kMillisecond);
BENCHMARK(PrinterStatus_BridgeWine)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // A printer of the benchmark's own, answering at once.
    char home[] = "/tmp/bench-bridge-XXXXXX";
    if (mkdtemp(home) == nullptr)
        return EXIT_FAILURE;
    setenv("VPRINTER_HOME", home, 1);
    setenv("VPRINTER_INSTANT", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
