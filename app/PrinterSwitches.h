#pragma once
// The virtual printer's live switches as the console drives them: a fault of
// the settings file's keys or the clock set on the open link (our own
// libraries' extension), then the status command that shows it, run through the
// console's command frame so that its answer lands in the Return Buffer like any
// command's. No widgets: the "Printer" panel shows what this class reports.

#include "core/AnswerDecoders.h"
#include "protocol/Commands.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>

#include <optional>

class ConsoleContext;

class PrinterSwitches {
  public:
    explicit PrinterSwitches(ConsoleContext& ctx);

    bool offered() const; // the user library has the live switches

    // What the printer answered after the last change.
    struct Report {
        std::optional<int> printerStatus;                // code 47: 0 OK, 2 paper out, 6 offline
        std::optional<answers::HardwareStatus> hardware; // code 40
        std::optional<answers::SoftwareStatus> software; // code 41
        // the line's faults still to come, by key (timeouts, lost_answers, ...),
        // as the library counts them (a command would use one)
        QMap<QByteArray, QString> left;
    };

    // Sets key to value on the user library's link (opened first when needed),
    // then runs the status command that shows that key. False, with the
    // reason in lastError() (also shown in the error box), when refused.
    bool setFault(const QByteArray& key, const QByteArray& value);
    // Moves the printer's clock, then runs the software status.
    bool setClock(const QDateTime& when);

    // As the library holds them now; empty / invalid when the link is closed.
    QByteArray fault(const QByteArray& key) const;
    QDateTime clock() const;

    const Report& report() const { return report_; }
    QString lastError() const { return error_; }

    // The faults of the line, counted by the commands that use them up.
    static bool isLineFault(const QByteArray& key);
    // The command whose answer shows the key (none for the line's faults: a command would use one up).
    static const protocol::Command* statusCommand(const QByteArray& key);
    static QDateTime minuteBeforeMidnight(const QDateTime& clock);
    static QDateTime endOfMonth(const QDateTime& clock); // its last day, 23:59:00
    static QString describe(int32_t result);             // a TavoExtensionResult as a sentence

  private:
    bool fail(const QString& why);
    bool openLink();
    void runStatus(const protocol::Command& command);

    ConsoleContext& ctx_;
    Report report_;
    QString error_;
};
