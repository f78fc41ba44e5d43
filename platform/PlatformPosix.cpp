#include "platform/Platform.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

bool fail(std::string* error, const std::string& what, int code) {
    if (error)
        *error = what + ": " + std::strerror(code);
    return false;
}

// Flushes and closes `fd`; false with errno set when either fails.
bool syncAndClose(int fd) {
    if (::fsync(fd) != 0) {
        const int e = errno;
        ::close(fd);
        errno = e;
        return false;
    }
    return ::close(fd) == 0;
}

bool renameDurably(const std::filesystem::path& source, const std::filesystem::path& target,
                   std::string* error) {
    if (::rename(source.c_str(), target.c_str()) != 0) {
        const int e = errno;
        ::unlink(source.c_str());
        return fail(error, "cannot rename " + source.string() + " to " + target.string(), e);
    }
    // Make the rename itself durable. A folder that cannot be synced (some file
    // systems refuse) still holds the complete new file.
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

} // namespace

bool PutFileInPlace(const std::filesystem::path& source, const std::filesystem::path& target,
                    std::string* error) {
    const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC); // enough for fsync on Linux
    if (fd < 0) {
        const int e = errno;
        ::unlink(source.c_str());
        return fail(error, "cannot open " + source.string(), e);
    }
    if (!syncAndClose(fd)) {
        const int e = errno;
        ::unlink(source.c_str());
        return fail(error, "cannot flush " + source.string(), e);
    }
    return renameDurably(source, target, error);
}

bool WriteFileReplacing(const std::filesystem::path& target, const std::filesystem::path& temp,
                        std::string_view data, std::string* error) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(error, "cannot create " + temp.string(), errno);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        (void)::fchmod(fd, st.st_mode & 07777);
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t w = ::write(fd, p, left);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return fail(error, "cannot write " + temp.string(), e);
        }
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    if (!syncAndClose(fd)) {
        const int e = errno;
        ::unlink(temp.c_str());
        return fail(error, "cannot flush " + temp.string(), e);
    }
    return renameDurably(temp, target, error);
}

bool ProcessAlive(std::int64_t pid) {
    if (pid <= 0 || pid != static_cast<pid_t>(pid))
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::int64_t CurrentProcessId() {
    return ::getpid();
}

} // namespace platform
