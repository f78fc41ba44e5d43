#include "bridge/host/Loader.h"

#include <windows.h>

#include <vector>

namespace bridge {
namespace {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string systemError(DWORD code) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string out = n && text ? std::string(text, n) : std::string();
    if (text)
        LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    return "error " + std::to_string(code) + (out.empty() ? "" : ": " + out);
}

// The names the module exports, read from its export directory in memory.
std::vector<std::string> exportedNames(HMODULE module) {
    std::vector<std::string> names;
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return names;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return names;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress == 0 || dir.Size == 0)
        return names;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    return names;
}

class WindowsModule : public Module {
  public:
    explicit WindowsModule(HMODULE module) : module_(module), names_(exportedNames(module)) {}
    ~WindowsModule() override = default; // left loaded until the host ends
    RawFunction find(const Binding& binding) override {
        if (FARPROC f = GetProcAddress(module_, binding.name))
            return reinterpret_cast<RawFunction>(reinterpret_cast<void*>(f));
        for (const std::string& name : names_)
            if (isDecoratedName(name, binding.name))
                if (FARPROC f = GetProcAddress(module_, name.c_str()))
                    return reinterpret_cast<RawFunction>(reinterpret_cast<void*>(f));
        return nullptr;
    }

  private:
    HMODULE module_;
    std::vector<std::string> names_;
};

} // namespace

std::string libraryFile(const std::string& dir, const std::string& library) {
    std::string d = dir.empty() ? std::string(".") : dir;
    if (d.back() != '\\' && d.back() != '/')
        d += '\\';
    return d + library + ".dll";
}

std::unique_ptr<Module> loadModule(const std::string& file, std::string* error) {
    // The library's own folder is searched for the libraries it needs in turn.
    HMODULE module = LoadLibraryExW(wide(file).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        if (error)
            *error = systemError(GetLastError());
        return nullptr;
    }
    return std::make_unique<WindowsModule>(module);
}

const char* platformName() {
#if defined(_WIN64)
    return "windows-x86_64";
#else
    return "windows-x86";
#endif
}

} // namespace bridge

#include <shellapi.h>

namespace bridge {

std::vector<std::string> arguments(int argc, char** argv) {
    int n = 0;
    LPWSTR* wargs = CommandLineToArgvW(GetCommandLineW(), &n);
    if (wargs == nullptr)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
        const int len = WideCharToMultiByte(CP_UTF8, 0, wargs[i], -1, nullptr, 0, nullptr, nullptr);
        std::string s(static_cast<size_t>(len > 0 ? len - 1 : 0), '\0');
        if (len > 1)
            WideCharToMultiByte(CP_UTF8, 0, wargs[i], -1, s.data(), len, nullptr, nullptr);
        out.push_back(std::move(s));
    }
    LocalFree(wargs);
    return out;
}

void prepareStdio() {
    // No error boxes of the system's own: the host has no one to click them.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

size_t readInput(char* buffer, size_t size) {
    DWORD got = 0;
    if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, static_cast<DWORD>(size), &got, nullptr))
        return 0;
    return got;
}

bool writeOutput(const std::string& bytes) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        if (!WriteFile(out, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr) ||
            n == 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace bridge
