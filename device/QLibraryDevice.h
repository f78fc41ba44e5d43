#pragma once
// Binds one device library by name with QLibrary: the program's directory first,
// then the system's library search.

#include "device/DeviceLibrary.h"

#include <QLibrary>

#include <map>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace dev {

// A library or function that cannot be bound.
class BindError : public std::runtime_error {
  public:
    BindError(QString library, QString function, QString reason);
    QString library, function, reason;
    QString message() const;
};

class QLibraryDevice : public IDeviceLibrary {
  public:
    // Throws BindError. programDir may be empty (then only the system search applies).
    QLibraryDevice(Library which, const QString& programDir);
    ~QLibraryDevice() override;

    int32_t open(const QByteArray& port, int32_t baud) override;
    int32_t close() override;
    int32_t isCommandExecuting() override;
    void abort() override;
    int32_t getReturnBufLength(const QByteArray& code) override;
    CommandResult execCommand(const QByteArray& line, char* buffer, int32_t* length) override;
    CommandResult command(const std::string& function, const Args& args, char* buffer,
                          int32_t* length) override;
    int32_t updateProgram(uintptr_t ownerWindow, const QByteArray& port, int32_t full) override;
    void setIdleHandler(TavoIdleHandler handler, void* context) override;
    bool offersPrintHandler() const override { return print_ != nullptr; }
    void setPrintHandler(TavoPrintHandler handler, void* context) override;
    bool offersLiveFaults() const override;
    int32_t setFault(const QByteArray& key, const QByteArray& value) override;
    int32_t getFault(const QByteArray& key, QByteArray* value) override;
    int32_t setClock(const QByteArray& dateTime) override;
    int32_t getClock(QByteArray* value) override;
    int32_t describeBridge(QByteArray* value) override;
    int32_t bridgeLastError(QByteArray* value) override;

    QString fileName() const { return lib_.fileName(); }

    // The C kinds of a cm... function's arguments, in call order (buffer and
    // length excluded), from the same binding table the calls go through;
    // nullopt for a function that is no command.
    static std::optional<std::vector<Arg::Kind>> argumentKinds(std::string_view function);

    using Invoker = CommandResult (*)(QFunctionPointer, const Args&, char*, int32_t*);

  private:
    QFunctionPointer resolve(const char* name, bool required);

    Library which_;
    QLibrary lib_;
    QFunctionPointer open_ = nullptr, close_ = nullptr, executing_ = nullptr, abort_ = nullptr,
                     bufLength_ = nullptr, exec_ = nullptr, update_ = nullptr, idle_ = nullptr,
                     print_ = nullptr, setFault_ = nullptr, getFault_ = nullptr, setClock_ = nullptr,
                     getClock_ = nullptr, describeBridge_ = nullptr, bridgeLastError_ = nullptr;
    struct Bound {
        QFunctionPointer fn;
        Invoker invoke;
    };
    std::map<std::string, Bound, std::less<>> commands_;
};

} // namespace dev
