#pragma once
// The few operating-system services the console and the virtual printer need
// that differ between POSIX and Windows: replacing a file safely (so that a
// crash or a power cut leaves the old file or the complete new one, never a
// half-written one) and asking whether a process still runs. Plain C++, no Qt,
// so the Windows half can be built and tested without a Windows Qt.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Puts the finished file `source` in the place of `target`, replacing it when
// it exists: `source` is flushed to the disk first, then renamed over `target`
// in one step (POSIX rename, then the folder is synced; Windows MoveFileExW
// with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). Both must lie in
// one folder (or at least on one volume). On failure `target` is untouched,
// `source` is removed and `error` (when given) says why.
bool PutFileInPlace(const std::filesystem::path& source, const std::filesystem::path& target,
                    std::string* error = nullptr);

// Writes `data` to `temp` (created or truncated; on POSIX with the mode of
// an existing `target`), flushes it and puts it in the place of `target` as
// PutFileInPlace does. On failure `target` is untouched and `temp` is removed.
bool WriteFileReplacing(const std::filesystem::path& target, const std::filesystem::path& temp,
                        std::string_view data, std::string* error = nullptr);

// True while a process with this id runs (one we may not signal or open
// counts as running); false for ids of no process, 0 and negative ids.
bool ProcessAlive(std::int64_t pid);

// The id of the running process.
std::int64_t CurrentProcessId();

} // namespace platform
