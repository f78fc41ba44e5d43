#include "app/PrinterSwitches.h"

#include "core/ConsoleContext.h"

namespace {
constexpr char kClockFormat[] = "yyyy-MM-dd HH:mm:ss";
}

PrinterSwitches::PrinterSwitches(ConsoleContext& ctx) : ctx_(ctx) {}

bool PrinterSwitches::offered() const {
    return ctx_.frame.devices().user->offersLiveFaults();
}

bool PrinterSwitches::isLineFault(const QByteArray& key) {
    return key == "timeouts" || key == "lost_answers" || key == "late_answers" || key == "dropped_link";
}

const protocol::Command* PrinterSwitches::statusCommand(const QByteArray& key) {
    if (key == "paper" || key == "offline")
        return &protocol::cmd::cmPrinterStatus;
    if (isLineFault(key) || key == "late_ms" || key == "drop_seed")
        return nullptr;
    return &protocol::cmd::cmHardwareStatus; // battery, fiscal memory, damaged record, reset jumper
}

QDateTime PrinterSwitches::minuteBeforeMidnight(const QDateTime& clock) {
    return QDateTime(clock.date(), QTime(23, 59, 0), Qt::UTC);
}

QDateTime PrinterSwitches::endOfMonth(const QDateTime& clock) {
    const QDate d = clock.date();
    return QDateTime(QDate(d.year(), d.month(), d.daysInMonth()), QTime(23, 59, 0), Qt::UTC);
}

QString PrinterSwitches::describe(int32_t result) {
    switch (result) {
    case TAVO_EXT_OK:
        return QString();
    case TAVO_EXT_NOT_OPEN:
        return QStringLiteral("The printer's port is not open.");
    case TAVO_EXT_UNKNOWN_KEY:
        return QStringLiteral("The printer has no such switch.");
    case TAVO_EXT_BAD_VALUE:
        return QStringLiteral("The printer refused the value; nothing was changed.");
    case TAVO_EXT_BUSY:
        return QStringLiteral("The printer is busy with a command; try again when it is done.");
    case dev::IDeviceLibrary::kNotOffered:
        return QStringLiteral("The device library has no live switches.");
    default:
        return QStringLiteral("The device library answered %1.").arg(result);
    }
}

bool PrinterSwitches::fail(const QString& why) {
    error_ = why;
    ctx_.errorBox(why);
    return false;
}

bool PrinterSwitches::openLink() {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    return ctx_.frame.UserLinkOpen
               ? true
               : fail(QStringLiteral("Can not open the port %1.")
                          .arg(QString::fromLatin1(ctx_.portNameFn ? ctx_.portNameFn() : QByteArray())));
}

void PrinterSwitches::runStatus(const protocol::Command& command) {
    // The answer goes to the Return Buffer and its decoder as any command's; the
    // decoder's page is filled, but the page on screen stays the one in use.
    const PageId page = ctx_.nav.current();
    const auto answer = ctx_.frame.run(command, [] { return dev::Args{}; });
    if (ctx_.nav.current() != page)
        ctx_.nav.show(page);
    if (!answer)
        return;
    if (&command == &protocol::cmd::cmPrinterStatus)
        report_.printerStatus = answers::decodePrinterStatus(*answer);
    else if (&command == &protocol::cmd::cmSoftwareStatus)
        report_.software = answers::decodeSoftwareStatus(*answer, QLatin1Char('-'), QLatin1Char(':'));
    else
        report_.hardware = answers::decodeHardwareStatus(*answer);
}

bool PrinterSwitches::setFault(const QByteArray& key, const QByteArray& value) {
    error_.clear();
    if (!offered())
        return fail(describe(dev::IDeviceLibrary::kNotOffered));
    if (!openLink())
        return false;
    const int32_t r = ctx_.frame.devices().user->setFault(key, value);
    if (r != TAVO_EXT_OK)
        return fail(describe(r));
    if (const protocol::Command* status = statusCommand(key))
        runStatus(*status);
    if (isLineFault(key))
        report_.left[key] = QString();
    for (auto it = report_.left.begin(); it != report_.left.end(); ++it) // commands since used some up
        it.value() = QString::fromLatin1(fault(it.key()));
    return true;
}

bool PrinterSwitches::setClock(const QDateTime& when) {
    error_.clear();
    if (!offered())
        return fail(describe(dev::IDeviceLibrary::kNotOffered));
    if (!when.isValid())
        return fail(describe(TAVO_EXT_BAD_VALUE));
    if (!openLink())
        return false;
    const int32_t r =
        ctx_.frame.devices().user->setClock(when.toString(QLatin1String(kClockFormat)).toLatin1());
    if (r != TAVO_EXT_OK)
        return fail(describe(r));
    runStatus(protocol::cmd::cmSoftwareStatus);
    return true;
}

QByteArray PrinterSwitches::fault(const QByteArray& key) const {
    QByteArray value;
    return ctx_.frame.devices().user->getFault(key, &value) == TAVO_EXT_OK ? value : QByteArray();
}

QDateTime PrinterSwitches::clock() const {
    QByteArray value;
    if (ctx_.frame.devices().user->getClock(&value) != TAVO_EXT_OK)
        return QDateTime();
    QDateTime t = QDateTime::fromString(QString::fromLatin1(value), QLatin1String(kClockFormat));
    t.setTimeSpec(Qt::UTC);
    return t;
}
