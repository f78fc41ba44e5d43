#include "Settings.h"

#include "Link.h"

#include <QSettings>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vp {
namespace {

bool truthy(const QString& v) {
    const QString l = v.trimmed().toLower();
    return l == "1" || l == "true" || l == "yes" || l == "on";
}

} // namespace

Settings readSettings(const std::string& port) {
    Settings s;
    QSettings ini(QString::fromStdString(dataDirectory() + "/virtual-printer.ini"), QSettings::IniFormat);
    auto get = [&](const char* key) -> QString {
        const QString sectioned = QString::fromStdString(port) + "/" + key;
        if (ini.contains(sectioned))
            return ini.value(sectioned).toString();
        return ini.value(QString("General/") + key, ini.value(key)).toString();
    };
    auto has = [&](const char* key) { return !get(key).isEmpty(); };
    if (has("present"))
        s.present = truthy(get("present"));
    s.faults.paperOut = get("paper").trimmed().toLower() == "out";
    s.faults.offline = truthy(get("offline"));
    s.faults.lowBattery = get("battery").trimmed().toLower() == "low";
    s.faults.resetPinShorted = get("reset_pin").trimmed().toLower() == "shorted";
    auto count = [&](const char* key) { return std::clamp(get(key).toInt(), 0, kMaxFaultCount); };
    s.timeouts = count("timeouts");
    s.lostAnswers = count("lost_answers");
    s.lateAnswers = count("late_answers");
    s.droppedLink = count("dropped_link");
    if (has("late_ms"))
        s.lateMs = std::clamp<qlonglong>(get("late_ms").toLongLong(), 0, kMaxLateMs);
    if (has("drop_seed"))
        s.dropSeed = get("drop_seed").trimmed().toUInt();
    if (has("fiscal_memory"))
        s.fiscalMemory = get("fiscal_memory").trimmed().toLower().toStdString();
    if (has("fm_capacity"))
        s.fmCapacity = std::max<qlonglong>(1, get("fm_capacity").toLongLong());
    s.damagedRecord = get("damaged_record").toLongLong();
    s.clockOffset = get("clock_offset").toLongLong();
    if (has("clock_start"))
        s.clockStart = get("clock_start").trimmed().toStdString();
    const QString timing = get("timing").trimmed().toLower();
    s.instant = timing == "instant";
    if (has("baud"))
        s.baud = std::max<qlonglong>(300, get("baud").toLongLong());
    if (has("line_ms"))
        s.lineMs = std::max<qlonglong>(0, get("line_ms").toLongLong());
    if (has("extra_ms"))
        s.extraMs = std::max<qlonglong>(0, get("extra_ms").toLongLong());
    const QString trace = get("trace").trimmed();
    if (!trace.isEmpty() && trace.toLower() != "off" && trace != "0") {
        s.trace = true;
        s.tracePath = truthy(trace) ? dataDirectory() + "/trace.jsonl" : trace.toStdString();
    }
    if (const char* env = std::getenv("VPRINTER_TIMING"); env && *env)
        s.instant = std::strcmp(env, "instant") == 0;
    else if (const char* flag = std::getenv("VPRINTER_INSTANT"); flag && std::strcmp(flag, "1") == 0)
        s.instant = true;
    if (const char* env = std::getenv("VPRINTER_TRACE"); env && *env) {
        s.trace = true;
        s.tracePath = std::strcmp(env, "1") == 0 ? dataDirectory() + "/trace.jsonl" : std::string(env);
    }
    return s;
}

int64_t effectiveCapacity(const Settings& s, int64_t used) {
    if (s.fiscalMemory == "full")
        return used;
    if (s.fiscalMemory == "nearly_full")
        return std::min(s.fmCapacity, used + 10);
    return s.fmCapacity;
}

} // namespace vp
