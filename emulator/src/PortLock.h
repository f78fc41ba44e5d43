// The port's busy state, shared by every library and tool on this machine: a
// lock on a file beside the port's database (`COM1.lock`), held for the time of
// a command. It is an open-file-description lock, so two libraries in one
// process exclude each other as two processes do.
#pragma once

#include <string>

namespace vp {

class PortLock {
  public:
    explicit PortLock(const std::string& path);
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;
    bool tryLock();
    void unlock();
    // Someone else (another library, process or tool) holds the port now.
    bool heldElsewhere() const;

  private:
    bool set(short type);
    int fd_;
};

// Holds a port's lock for a scope when it can be taken at once.
class HeldPort {
  public:
    explicit HeldPort(PortLock* l) : l_(l), held_(!l || l->tryLock()) {}
    ~HeldPort() {
        if (held_ && l_)
            l_->unlock();
    }
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;
    bool held() const { return held_; }

  private:
    PortLock* l_;
    bool held_;
};

} // namespace vp
