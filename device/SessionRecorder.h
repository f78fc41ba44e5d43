#pragma once
// Recording a session: every call the console makes through a device library,
// in order, one JSON line each (session/Session.h). RecordingLibrary sits
// between the console and a library and hands each call to the recorder, which
// writes it only while recording; passwords reach the file only as asterisks.

#include "device/DeviceLibrary.h"
#include "session/Session.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace dev {

class RecordingLibrary;

class SessionRecorder {
  public:
    // Starts appending to the file; false and the reason when it cannot be
    // written. A recording started while a library's link is open begins with
    // that link's OpenTavo (its port and speed, status 0, 0 ms), so that a
    // replay opens what the calls that follow were made on.
    bool start(const QString& path, QString* error = nullptr);
    void stop();
    bool recording() const { return writer_.isOpen(); }
    QString path() const { return writer_.path(); }
    int calls() const { return calls_; }
    // Told when a call could not be written (the disk is full, the file is gone):
    // recording stops, nothing else is lost.
    std::function<void(const QString& why)> onFailure;

    void record(session::Call call);

    // The libraries whose open links a recording begins with (RecordingLibrary
    // adds and removes itself).
    void attach(RecordingLibrary* library);
    void detach(RecordingLibrary* library);

  private:
    bool write(const session::Call& call);

    session::Writer writer_;
    int calls_ = 0;
    std::vector<RecordingLibrary*> libraries_;
};

// A device library whose calls are recorded while the recorder records. The
// idle and print handlers it installs are addresses in this process, not calls
// to the printer, and are not recorded. It tells the recorder of itself, which
// must outlive it.
class RecordingLibrary : public IDeviceLibrary {
  public:
    RecordingLibrary(IDeviceLibrary& inner, Library which, SessionRecorder& recorder);
    ~RecordingLibrary() override;
    RecordingLibrary(const RecordingLibrary&) = delete;
    RecordingLibrary& operator=(const RecordingLibrary&) = delete;

    int32_t open(const QByteArray& port, int32_t baud) override;
    int32_t close() override;
    int32_t isCommandExecuting() override;
    void abort() override;
    int32_t getReturnBufLength(const QByteArray& code) override;
    CommandResult execCommand(const QByteArray& line, char* buffer, int32_t* length) override;
    CommandResult command(const std::string& function, const Args& args, char* buffer,
                          int32_t* length) override;
    int32_t updateProgram(uintptr_t ownerWindow, const QByteArray& port, int32_t full) override;
    void setIdleHandler(TavoIdleHandler handler, void* context) override {
        inner_.setIdleHandler(handler, context);
    }

    bool offersPrintHandler() const override { return inner_.offersPrintHandler(); }
    void setPrintHandler(TavoPrintHandler handler, void* context) override {
        inner_.setPrintHandler(handler, context);
    }
    bool offersLiveFaults() const override { return inner_.offersLiveFaults(); }
    int32_t setFault(const QByteArray& key, const QByteArray& value) override;
    int32_t getFault(const QByteArray& key, QByteArray* value) override;
    int32_t setClock(const QByteArray& dateTime) override;
    int32_t getClock(QByteArray* value) override;

    IDeviceLibrary& inner() const { return inner_; }

    // The link this library holds open, as it was opened: from an OpenTavo
    // that succeeded to a CloseTavo that did, recorded or not.
    struct Link {
        QByteArray port;
        int32_t baud = 0;
    };
    const std::optional<Link>& openLink() const { return link_; }
    // That link's OpenTavo, as a recording started now begins with it.
    session::Call openingCall() const;

  private:
    // Runs f, timing it, and records the call when recording.
    template <typename F> auto recorded(const char* function, std::vector<session::Argument> arguments, F f);

    IDeviceLibrary& inner_;
    Library which_;
    SessionRecorder& recorder_;
    std::optional<Link> link_;
};

// The session's argument for a text (a password as asterisks).
session::Value textArgument(const std::optional<QByteArray>& text, bool password = false);

} // namespace dev
