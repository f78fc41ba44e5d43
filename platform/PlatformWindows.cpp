#include "platform/Platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace platform {
namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                              nullptr);
    return out;
}

bool fail(std::string* error, const std::string& what, DWORD code) {
    if (error) {
        wchar_t* buffer = nullptr;
        const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                             FORMAT_MESSAGE_IGNORE_INSERTS,
                                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        std::wstring text = n && buffer ? std::wstring(buffer, n) : L"error " + std::to_wstring(code);
        if (buffer)
            ::LocalFree(buffer);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
            text.pop_back();
        *error = what + ": " + utf8(text);
    }
    return false;
}

bool flushAndClose(HANDLE file) {
    const bool flushed = ::FlushFileBuffers(file) != 0;
    const DWORD e = ::GetLastError();
    const bool closed = ::CloseHandle(file) != 0;
    if (!flushed)
        ::SetLastError(e);
    return flushed && closed;
}

bool moveOver(const std::filesystem::path& source, const std::filesystem::path& target, std::string* error) {
    if (!::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD e = ::GetLastError();
        ::DeleteFileW(source.c_str());
        return fail(error, "cannot rename " + utf8(source.wstring()) + " to " + utf8(target.wstring()), e);
    }
    return true;
}

} // namespace

bool PutFileInPlace(const std::filesystem::path& source, const std::filesystem::path& target,
                    std::string* error) {
    const HANDLE file = ::CreateFileW(source.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD e = ::GetLastError();
        ::DeleteFileW(source.c_str());
        return fail(error, "cannot open " + utf8(source.wstring()), e);
    }
    if (!flushAndClose(file)) {
        const DWORD e = ::GetLastError();
        ::DeleteFileW(source.c_str());
        return fail(error, "cannot flush " + utf8(source.wstring()), e);
    }
    return moveOver(source, target, error);
}

bool WriteFileReplacing(const std::filesystem::path& target, const std::filesystem::path& temp,
                        std::string_view data, std::string* error) {
    const HANDLE file =
        ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return fail(error, "cannot create " + utf8(temp.wstring()), ::GetLastError());
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(file, p, chunk, &written, nullptr) || written == 0) {
            const DWORD e = ::GetLastError();
            ::CloseHandle(file);
            ::DeleteFileW(temp.c_str());
            return fail(error, "cannot write " + utf8(temp.wstring()), e);
        }
        p += written;
        left -= written;
    }
    if (!flushAndClose(file)) {
        const DWORD e = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        return fail(error, "cannot flush " + utf8(temp.wstring()), e);
    }
    return moveOver(temp, target, error);
}

bool ProcessAlive(std::int64_t pid) {
    if (pid <= 0 || pid > 0xFFFFFFFFll)
        return false;
    const HANDLE process =
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED; // it runs, under another account
    // A process that has ended stays openable while anyone holds a handle to it.
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

std::int64_t CurrentProcessId() {
    return static_cast<std::int64_t>(::GetCurrentProcessId());
}

} // namespace platform
