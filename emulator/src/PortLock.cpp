#include "PortLock.h"

#include <fcntl.h>
#include <unistd.h>

namespace vp {

PortLock::PortLock(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {}

PortLock::~PortLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool PortLock::tryLock() {
    return fd_ < 0 || set(F_WRLCK);
}

void PortLock::unlock() {
    if (fd_ >= 0)
        set(F_UNLCK);
}

bool PortLock::heldElsewhere() const {
    if (fd_ < 0)
        return false;
    struct flock l {};
    l.l_type = F_WRLCK;
    l.l_whence = SEEK_SET;
    return fcntl(fd_, F_OFD_GETLK, &l) == 0 && l.l_type != F_UNLCK;
}

bool PortLock::set(short type) {
    struct flock l {};
    l.l_type = type;
    l.l_whence = SEEK_SET;
    return fcntl(fd_, F_OFD_SETLK, &l) == 0;
}

} // namespace vp
