#pragma once
// The console's view of one device library: the C functions of TavoApi.h behind
// a small C++ interface, so that tests can put a scripted device in its place.

#include "device/TavoApi.h"
#include "protocol/Commands.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dev {

enum class Library { User = 0, Service = 1 };

QString libraryName(Library lib); // "TavoUser" or "TavoSrv"

// The library the catalogue puts a command in.
constexpr Library libraryOf(const protocol::Command& command) {
    return command.library == protocol::Library::Service ? Library::Service : Library::User;
}

// One argument of a cm... call, in declaration order.
struct Arg {
    enum class Kind { Int, Double, Text };
    Kind kind = Kind::Int;
    int32_t i = 0;
    double d = 0.0;
    std::optional<QByteArray> text; // nullopt: a null pointer is passed

    static Arg integer(int32_t v);
    static Arg real(double v);
    // Encodes to code page 1250; a character the code page cannot hold becomes '?'.
    static Arg text1250(const QString& s);
    static Arg bytes(const QByteArray& raw); // already 8-bit
    static Arg null();                       // a null text pointer

    bool operator==(const Arg&) const = default;
    std::string describe() const; // for test failure messages
};
using Args = std::vector<Arg>;

inline CommandResult makeResult(int32_t status, int32_t subCode = 0) {
    CommandResult r{};
    r.Status = status;
    r.SubCode = subCode;
    return r;
}

class IDeviceLibrary {
  public:
    virtual ~IDeviceLibrary() = default;
    virtual int32_t open(const QByteArray& port, int32_t baud) = 0;
    virtual int32_t close() = 0;
    virtual int32_t isCommandExecuting() = 0;
    virtual void abort() = 0;
    virtual int32_t getReturnBufLength(const QByteArray& code) = 0;
    virtual CommandResult execCommand(const QByteArray& line, char* buffer, int32_t* length) = 0;
    // Any cm... function by name; args in declaration order (buffer and length excluded).
    virtual CommandResult command(const std::string& function, const Args& args, char* buffer,
                                  int32_t* length) = 0;
    virtual int32_t updateProgram(uintptr_t ownerWindow, const QByteArray& port, int32_t full) = 0;
    // Installs the idle handler where the library supports it (our own libraries do).
    virtual void setIdleHandler(TavoIdleHandler handler, void* context) = 0;

    // Our own libraries' further extensions (TavoApi.h); a library without them
    // (the maker's) offers none, and each call then answers kNotOffered.
    static constexpr int32_t kNotOffered = -1;
    virtual bool offersPrintHandler() const { return false; }
    virtual void setPrintHandler(TavoPrintHandler, void*) {}
    virtual bool offersLiveFaults() const { return false; } // TavoSetFault/TavoGetFault and the clock
    virtual int32_t setFault(const QByteArray&, const QByteArray&) { return kNotOffered; }
    virtual int32_t getFault(const QByteArray&, QByteArray*) { return kNotOffered; }
    virtual int32_t setClock(const QByteArray&) { return kNotOffered; }
    virtual int32_t getClock(QByteArray*) { return kNotOffered; }
    // The bridge client's TavoBridgeDescribe: what it forwards to, as UTF-8
    // (docs/bridge.md); TAVO_EXT_OK and the text, else kNotOffered or the
    // library's TAVO_EXT_... result.
    virtual int32_t describeBridge(QByteArray*) { return kNotOffered; }
    // The bridge client's TavoBridgeLastError: why its last call failed.
    virtual int32_t bridgeLastError(QByteArray*) { return kNotOffered; }
};

// Both libraries, as the console uses them.
struct DeviceSet {
    IDeviceLibrary* user = nullptr;
    IDeviceLibrary* service = nullptr;
    IDeviceLibrary& get(Library lib) const { return lib == Library::User ? *user : *service; }
};

} // namespace dev
