// The platform functions on the system they are built for. Plain C++ without
// GoogleTest or Qt, so that the same test runs from the Windows cross build
// (under Wine) and from the native build.
#include "platform/Platform.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
int failures = 0;

void check(bool ok, const char* what, int line) {
    if (!ok) {
        std::fprintf(stderr, "FAILED line %d: %s\n", line, what);
        ++failures;
    }
}
#define CHECK(x) check((x), #x, __LINE__)

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const fs::path& p, const std::string& data) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << data;
}

// The id of a process that has run and ended.
std::int64_t endedProcess(const char* self) {
#ifdef _WIN32
    (void)self;
    wchar_t module[MAX_PATH];
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(module) + L"\" --exit";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return static_cast<std::int64_t>(pi.dwProcessId);
#else
    (void)self;
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
#endif
}
} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1 && std::string(argv[1]) == "--exit")
        return 0;
    const fs::path dir =
        fs::temp_directory_path() / ("platform-test-" + std::to_string(platform::CurrentProcessId()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path target = dir / "article file.plu";
    const fs::path temp = dir / "article file.plu.~save";

    // A new file, then the same file replaced with shorter and binary contents.
    const std::vector<std::string> contents = {"first\r\nversion\r\n", std::string("a\0b\xff", 4), ""};
    for (const std::string& data : contents) {
        std::string error;
        CHECK(platform::WriteFileReplacing(target, temp, data, &error));
        CHECK(error.empty());
        CHECK(readAll(target) == data);
        CHECK(!fs::exists(temp));
    }
    // A large file arrives whole.
    const std::string big(3 * 1024 * 1024 + 17, 'x');
    CHECK(platform::WriteFileReplacing(target, temp, big));
    CHECK(fs::file_size(target) == big.size());

    // A file written by the caller put in place of an existing one.
    writeAll(temp, "written by the caller");
    CHECK(platform::PutFileInPlace(temp, target));
    CHECK(readAll(target) == "written by the caller");
    CHECK(!fs::exists(temp));

    // Failures say why, leave the old file as it was and no temporary file behind.
    {
        std::string error;
        CHECK(!platform::PutFileInPlace(dir / "missing", target, &error));
        CHECK(!error.empty());
        CHECK(readAll(target) == "written by the caller");
    }
    {
        const fs::path folder = dir / "a folder";
        fs::create_directories(folder / "inside");
        std::string error;
        CHECK(!platform::WriteFileReplacing(folder, temp, "data", &error));
        CHECK(!error.empty());
        CHECK(fs::is_directory(folder));
        CHECK(!fs::exists(temp));
    }
    {
        std::string error;
        CHECK(!platform::WriteFileReplacing(dir / "no such folder" / "file",
                                            dir / "no such folder" / "file.tmp", "data", &error));
        CHECK(!error.empty());
    }

    // Processes.
    CHECK(platform::ProcessAlive(platform::CurrentProcessId()));
    CHECK(!platform::ProcessAlive(0));
    CHECK(!platform::ProcessAlive(-5));
    CHECK(!platform::ProcessAlive(std::int64_t{1} << 40));
    const std::int64_t ended = endedProcess(argv[0]);
    CHECK(ended > 0);
    CHECK(!platform::ProcessAlive(ended));

    fs::remove_all(dir);
    if (failures == 0)
        std::printf("platform test passed\n");
    return failures == 0 ? 0 : 1;
}
