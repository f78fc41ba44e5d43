// vprinterctl: the virtual printer of one port seen from the command line —
// its status, fiscal memory and electronic journal, the chains verified, the
// journal exported for an auditor, and named states saved and loaded.
#include "Audit.h"
#include "Exec.h"
#include "Json.h"
#include "Link.h"
#include "Paper.h"
#include "PortLock.h"
#include "Settings.h"
#include "States.h"
#include "Store.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

using namespace vp;
using namespace vp::ctl;

namespace {

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}
void printJson(const QJsonValue& v) {
    const QByteArray bytes = v.isArray() ? QJsonDocument(v.toArray()).toJson(QJsonDocument::Indented)
                                         : QJsonDocument(v.toObject()).toJson(QJsonDocument::Indented);
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}
QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string wall(int64_t secs) {
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC).toString("yyyy-MM-dd HH:mm:ss").toStdString();
}

std::string money(Grosze v) {
    return paper::amount(v);
}

// What every command works on.
struct Port {
    std::string name, dataDir;
    bool json = false;
    std::string database() const { return dataDir + "/" + name + ".sqlite"; }
    std::string lockFile() const { return dataDir + "/" + name + ".lock"; }
};

// Opens the port's printer for reading; never creates one.
void openStore(const Port& p, Store& store) {
    if (!QFileInfo::exists(q(p.database())))
        fail(Unreadable, "no printer on " + p.name + " yet: " + p.database() + " does not exist");
    std::string why;
    if (!store.open(p.database(), &why))
        fail(Unreadable, "cannot read the printer on " + p.name + ": " + why);
}

// ---- the chains, row by row ----

struct FiscalRow {
    int64_t seq = 0, at = 0;
    std::optional<int64_t> zNo;
    std::string kind, data, prevHash, hash;
    bool linked = true, matches = true; // follows its predecessor; its hash is its content's
    bool ok() const { return linked && matches; }
};

struct JournalRow {
    int64_t id = 0, at = 0, documentNo = 0;
    std::string kind, text, prevHash, hash;
    bool linked = true, matches = true;
    bool ok() const { return linked && matches; }
};

template <class F> void query(sqlite3* db, const char* sql, F each) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
        fail(Unreadable, std::string("cannot read the printer: ") + sqlite3_errmsg(db));
    auto text = [&](int i) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
        return t ? std::string(t, static_cast<size_t>(sqlite3_column_bytes(s, i))) : std::string();
    };
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        each(s, text);
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE)
        fail(Unreadable, std::string("cannot read the printer: ") + sqlite3_errmsg(db));
}

std::vector<FiscalRow> fiscalRows(Store& store) {
    std::vector<FiscalRow> rows;
    int64_t prevSeq = 0;
    std::string prev;
    query(store.handle(), "SELECT seq, kind, z_no, at, data, prev_hash, hash FROM fiscal_record ORDER BY seq",
          [&](sqlite3_stmt* s, auto text) {
              FiscalRow r;
              r.seq = sqlite3_column_int64(s, 0);
              r.kind = text(1);
              if (sqlite3_column_type(s, 2) != SQLITE_NULL)
                  r.zNo = sqlite3_column_int64(s, 2);
              r.at = sqlite3_column_int64(s, 3);
              r.data = text(4), r.prevHash = text(5), r.hash = text(6);
              r.linked = r.seq == prevSeq + 1 && r.prevHash == prev;
              r.matches = fiscalHash(r.prevHash, r.kind, r.zNo, r.at, r.data) == r.hash;
              prevSeq = r.seq, prev = r.hash;
              rows.push_back(std::move(r));
          });
    return rows;
}

std::vector<JournalRow> journalRows(Store& store) {
    std::vector<JournalRow> rows;
    int64_t prevId = 0;
    std::string prev;
    query(store.handle(), "SELECT id, at, kind, doc_no, text, prev_hash, hash FROM journal ORDER BY id",
          [&](sqlite3_stmt* s, auto text) {
              JournalRow r;
              r.id = sqlite3_column_int64(s, 0);
              r.at = sqlite3_column_int64(s, 1);
              r.kind = text(2);
              r.documentNo = sqlite3_column_int64(s, 3);
              r.text = text(4), r.prevHash = text(5), r.hash = text(6);
              r.linked = r.id == prevId + 1 && r.prevHash == prev;
              r.matches = journalHash(r.prevHash, r.at, r.kind, r.documentNo, r.text) == r.hash;
              prevId = r.id, prev = r.hash;
              rows.push_back(std::move(r));
          });
    return rows;
}

std::string rowName(const FiscalRow& r) {
    return "fiscal memory row " + std::to_string(r.seq) +
           (r.zNo ? " (Z " + paper::digits(*r.zNo, 4) + ")" : " (" + r.kind + ")");
}
std::string rowProblem(bool linked, bool matches) {
    if (!linked && !matches)
        return "is out of its place in the chain and does not match its hash";
    return !linked ? "does not follow the row before it" : "does not match its hash";
}

QJsonObject chainJson(const ChainReport& c) {
    QJsonObject o;
    o["whole"] = c.whole();
    o["fiscalRecords"] = static_cast<qint64>(c.fiscalRecords);
    o["journalEntries"] = static_cast<qint64>(c.journalEntries);
    if (!c.whole())
        o["problem"] = q(c.firstProblem);
    return o;
}
std::string chainText(const ChainReport& c) {
    return c.whole() ? "whole (" + std::to_string(c.fiscalRecords) + " fiscal memory rows, " +
                           std::to_string(c.journalEntries) + " journal entries)"
                     : "BROKEN: " + c.firstProblem;
}

// ---- status ----

QJsonObject faultsJson(const Settings& s) {
    QJsonObject f;
    if (!s.present)
        f["present"] = false;
    if (s.faults.paperOut)
        f["paper"] = "out";
    if (s.faults.offline)
        f["offline"] = true;
    if (s.faults.lowBattery)
        f["battery"] = "low";
    if (s.faults.resetPinShorted)
        f["reset_pin"] = "shorted";
    if (s.timeouts)
        f["timeouts"] = s.timeouts;
    if (s.lostAnswers)
        f["lost_answers"] = s.lostAnswers;
    if (s.lateAnswers)
        f["late_answers"] = s.lateAnswers;
    if (s.lateAnswers || s.lateMs != Settings{}.lateMs)
        f["late_ms"] = static_cast<qint64>(s.lateMs);
    if (s.droppedLink)
        f["dropped_link"] = s.droppedLink;
    if (s.droppedLink || s.dropSeed != Settings{}.dropSeed)
        f["drop_seed"] = static_cast<qint64>(s.dropSeed);
    if (s.fiscalMemory != "ok")
        f["fiscal_memory"] = q(s.fiscalMemory);
    if (s.fmCapacity != 2000)
        f["fm_capacity"] = static_cast<qint64>(s.fmCapacity);
    if (s.damagedRecord)
        f["damaged_record"] = static_cast<qint64>(s.damagedRecord);
    if (s.clockOffset)
        f["clock_offset"] = static_cast<qint64>(s.clockOffset);
    if (!s.clockStart.empty())
        f["clock_start"] = q(s.clockStart);
    return f;
}

int status(const Port& p, const QCommandLineParser&) {
    const Settings settings = readSettings(p.name);
    Store store;
    openStore(p, store);
    store.setCapacity(effectiveCapacity(settings, store.zCount()));
    store.setDamagedRecord(settings.damagedRecord);
    State st;
    if (!store.loadState(st))
        fail(Unreadable, "cannot read the working memory of the printer on " + p.name);
    int64_t now = QDateTime::currentSecsSinceEpoch() + settings.clockOffset + st.clockOffset;
    if (!settings.clockStart.empty()) { // the clock a port opened now would show
        const QDateTime start = QDateTime::fromString(q(settings.clockStart), "yyyy-MM-dd HH:mm:ss");
        if (start.isValid())
            now = QDateTime(start.date(), start.time(), Qt::UTC).toSecsSinceEpoch();
    }
    Outcome scratch;
    scratch.state = st;
    const Request none;
    const Exec exec(store, store, settings.faults, now, none, scratch);
    int lines = 0;
    for (const auto& it : st.receipt.items)
        lines += it.cancelled ? 0 : 1;
    const Grosze receiptTotal = st.receipt.open ? exec.receiptTotal(st.receipt) : 0;
    int postponed = 0;
    for (const auto& r : st.postponed)
        postponed += r.open ? 1 : 0;
    int64_t events = 0;
    query(store.handle(), "SELECT COUNT(*) FROM fiscal_record WHERE z_no IS NULL",
          [&](sqlite3_stmt* s, auto) { events = sqlite3_column_int64(s, 0); });
    const ChainReport& chains = store.lastReport();
    Grosze dayTotal = 0;
    for (auto g : st.day.gross)
        dayTotal += g;

    if (p.json) {
        QJsonObject o;
        o["port"] = q(p.name);
        o["database"] = q(p.database());
        o["mode"] = st.fiscal ? "fiscal" : "training";
        o["id"] = st.idCode.empty() ? QJsonValue() : QJsonValue(q(st.idCode + " " + st.idNumber));
        o["taxId"] = st.taxId.empty() ? QJsonValue() : QJsonValue(q(st.taxId));
        o["clock"] = q(wall(now));
        o["serviceMode"] = st.serviceMode;
        o["ramError"] = st.ramError;
        QJsonObject r;
        r["open"] = st.receipt.open;
        r["lines"] = lines;
        r["total"] = static_cast<qint64>(receiptTotal);
        o["openReceipt"] = r;
        o["postponedReceipts"] = postponed;
        QJsonObject day;
        day["open"] = st.day.hasSales();
        day["receipts"] = static_cast<qint64>(st.day.receipts);
        day["cancelled"] = static_cast<qint64>(st.day.cancelled);
        day["total"] = static_cast<qint64>(dayTotal);
        QJsonArray groups;
        for (size_t i = 0; i < 9; ++i) {
            QJsonObject g;
            g["group"] = QString(QChar(kLetters[i]));
            g["rate"] = st.rates[i] == kInactiveRate ? QJsonValue() : QJsonValue(st.rates[i]);
            g["exempt"] = exec.exemptGroup(static_cast<int>(i + 1));
            g["gross"] = static_cast<qint64>(st.day.gross[i]);
            groups.append(g);
        }
        day["groups"] = groups;
        o["day"] = day;
        o["drawer"] = static_cast<qint64>(st.drawer);
        QJsonObject c;
        c["receipts"] = static_cast<qint64>(st.receiptNo);
        c["documents"] = static_cast<qint64>(st.documentNo);
        c["ramResets"] = static_cast<qint64>(st.ramResets);
        c["vatChanges"] = static_cast<qint64>(st.vatChanges);
        c["currencyChanges"] = static_cast<qint64>(st.currencyChanges);
        o["counters"] = c;
        QJsonObject fm;
        fm["zRecords"] = static_cast<qint64>(store.zCount());
        fm["capacity"] = static_cast<qint64>(store.capacity());
        fm["events"] = static_cast<qint64>(events);
        o["fiscalMemory"] = fm;
        o["faults"] = faultsJson(settings);
        o["chains"] = chainJson(chains);
        printJson(o);
        return Ok;
    }
    std::string t;
    auto line = [&](const std::string& label, const std::string& value) {
        t += paper::pad(label, 16) + value + "\n";
    };
    line("Port", p.name + " (" + p.database() + ")");
    line("Mode", std::string(st.fiscal ? "fiscal" : "training") + (st.serviceMode ? ", service mode" : "") +
                     (st.ramError ? ", RAM LOST (SRAM erase needed)" : ""));
    line("ID", st.idCode.empty() ? "not set" : st.idCode + " " + st.idNumber);
    line("Tax ID", st.taxId.empty() ? "not set" : paper::groupTaxId(st.taxId, st.taxIdFormat));
    line("Clock", wall(now));
    line("Open receipt", st.receipt.open ? std::to_string(lines) + " lines, " + money(receiptTotal) : "none");
    if (postponed)
        line("Set aside", std::to_string(postponed) + " receipts");
    line("Day", st.day.hasSales()
                    ? "open since " + wall(st.day.openedAt) + ", " + std::to_string(st.day.receipts) +
                          " receipts, " + std::to_string(st.day.cancelled) + " cancelled, " + money(dayTotal)
                    : "closed");
    for (size_t i = 0; i < 9; ++i)
        if (st.day.gross[i] != 0 || (st.day.hasSales() && exec.groupActive(static_cast<int>(i + 1))))
            line(std::string("  ") + kLetters[i] + " " + exec.rateText(static_cast<int>(i)),
                 money(st.day.gross[i]));
    line("Drawer", money(st.drawer));
    line("Counters", "receipts " + std::to_string(st.receiptNo) + ", documents " +
                         std::to_string(st.documentNo) + ", RAM resets " + std::to_string(st.ramResets) +
                         ", VAT changes " + std::to_string(st.vatChanges) + ", currency changes " +
                         std::to_string(st.currencyChanges));
    line("Fiscal memory", std::to_string(store.zCount()) + " of " + std::to_string(store.capacity()) +
                              " Z records, " + std::to_string(events) + " events");
    const QJsonObject faults = faultsJson(settings);
    std::string f;
    for (auto it = faults.begin(); it != faults.end(); ++it)
        f += (f.empty() ? "" : ", ") + it.key().toStdString() + "=" +
             (it.value().isString() ? it.value().toString().toStdString()
              : it.value().isBool() ? std::string(it.value().toBool() ? "true" : "false")
                                    : std::to_string(it.value().toInteger()));
    line("Faults", f.empty() ? "none" : f);
    line("Chains", chainText(chains));
    print(t);
    return Ok;
}

// ---- fiscal memory ----

std::optional<int64_t> number(const QCommandLineParser& parser, const char* option) {
    if (!parser.isSet(option))
        return std::nullopt;
    bool ok = false;
    const qlonglong v = parser.value(option).toLongLong(&ok);
    if (!ok || v < 1)
        fail(Usage, std::string("--") + option + " wants a number from 1, not \"" +
                        parser.value(option).toStdString() + "\"");
    return v;
}

std::optional<QDate> date(const QCommandLineParser& parser, const char* option) {
    if (!parser.isSet(option))
        return std::nullopt;
    const QDate d = QDate::fromString(parser.value(option), "yyyy-MM-dd");
    if (!d.isValid())
        fail(Usage, std::string("--") + option + " wants a date as yyyy-MM-dd, not \"" +
                        parser.value(option).toStdString() + "\"");
    return d;
}

QJsonArray groupsJson(const ZRecord& z) {
    QJsonArray a;
    for (size_t i = 0; i < 9; ++i) {
        if (z.gross[i] == 0 && z.vat[i] == 0)
            continue;
        QJsonObject g;
        g["group"] = QString(QChar(kLetters[i]));
        g["rate"] = z.rates[i];
        g["gross"] = static_cast<qint64>(z.gross[i]);
        g["net"] = static_cast<qint64>(z.net[i]);
        g["vat"] = static_cast<qint64>(z.vat[i]);
        a.append(g);
    }
    return a;
}

int fiscalMemory(const Port& p, const QCommandLineParser& parser) {
    const auto from = number(parser, "from"), to = number(parser, "to");
    if (from && to && *from > *to)
        fail(Usage, "--from is after --to");
    Store store;
    openStore(p, store);
    const ChainReport chains = store.verify();
    const std::vector<FiscalRow> rows = fiscalRows(store);
    // an event is shown with the records after it: those before Z `from` and
    // up to Z `to`
    std::vector<const FiscalRow*> shown;
    int64_t lastZ = 0;
    for (const auto& r : rows) {
        const int64_t z = r.zNo ? *r.zNo : lastZ + 1;
        if ((!from || z >= *from) && (!to || z <= *to))
            shown.push_back(&r);
        if (r.zNo)
            lastZ = *r.zNo;
    }
    if (p.json) {
        QJsonArray a;
        for (const FiscalRow* r : shown) {
            QJsonObject o;
            o["row"] = static_cast<qint64>(r->seq);
            o["kind"] = q(r->kind);
            o["time"] = q(wall(r->at));
            o["at"] = static_cast<qint64>(r->at);
            if (r->zNo) {
                ZRecord z;
                json::decode(r->data, z);
                o["z"] = static_cast<qint64>(*r->zNo);
                o["receipts"] = static_cast<qint64>(z.receipts);
                o["cancelled"] = static_cast<qint64>(z.cancelled);
                o["sales"] = static_cast<qint64>(z.total());
                o["vat"] = static_cast<qint64>(z.vatTotal());
                o["deposits"] = static_cast<qint64>(z.deposits);
                o["firstReceipt"] = static_cast<qint64>(z.firstReceipt);
                o["lastReceipt"] = static_cast<qint64>(z.lastReceipt);
                o["groups"] = groupsJson(z);
                o["journalHash"] = q(z.journalHash);
            } else {
                o["data"] = QJsonDocument::fromJson(QByteArray::fromStdString(r->data)).object();
            }
            o["prevHash"] = q(r->prevHash);
            o["hash"] = q(r->hash);
            o["ok"] = r->ok();
            a.append(o);
        }
        QJsonObject out;
        out["records"] = a;
        out["chains"] = chainJson(chains);
        printJson(out);
        return Ok;
    }
    std::string t;
    for (const FiscalRow* r : shown) {
        const std::string mark = r->ok() ? "" : "   <- " + rowProblem(r->linked, r->matches);
        if (r->zNo) {
            ZRecord z;
            json::decode(r->data, z);
            t += "Z " + paper::digits(*r->zNo, 4) + "  " + wall(r->at) + "  receipts " +
                 std::to_string(z.receipts) + " (" + std::to_string(z.firstReceipt) + "-" +
                 std::to_string(z.lastReceipt) + "), cancelled " + std::to_string(z.cancelled) + ", sales " +
                 money(z.total()) + ", tax " + money(z.vatTotal()) + mark + "\n";
            for (size_t i = 0; i < 9; ++i)
                if (z.gross[i] != 0)
                    t += std::string("        ") + kLetters[i] + " " + paper::ratePercent(z.rates[i]) +
                         "  gross " + money(z.gross[i]) + "  net " + money(z.net[i]) + "  tax " +
                         money(z.vat[i]) + "\n";
        } else {
            t += "event   " + wall(r->at) + "  " + r->kind + " " + r->data + mark + "\n";
        }
        t += "        row " + std::to_string(r->seq) + ", hash " + r->hash + "\n";
    }
    if (shown.empty())
        t += "no records in the range\n";
    t += "Chain: " + chainText(chains) + "\n";
    print(t);
    return Ok;
}

// ---- journal ----

// The journal's entries of a period of days (export).
std::vector<JournalRow> entriesOfPeriod(Store& store, const QCommandLineParser& parser) {
    const auto since = date(parser, "from-date"), until = date(parser, "to-date");
    if (since && until && *since > *until)
        fail(Usage, "--from-date is after --to-date");
    std::vector<JournalRow> out;
    for (auto& r : journalRows(store)) {
        const QDate d = QDateTime::fromSecsSinceEpoch(r.at, Qt::UTC).date();
        if ((since && d < *since) || (until && d > *until))
            continue;
        out.push_back(std::move(r));
    }
    return out;
}

// One printed document: the journal entries of one print number, as the
// commands that made it were printed (a receipt's lines, then its close).
struct Document {
    int64_t printNo = 0;
    std::vector<JournalRow> entries;
    std::string kind() const { return entries.back().kind; }
    std::string text() const {
        std::string t;
        for (const auto& e : entries)
            t += e.text;
        return t;
    }
    bool ok() const {
        return std::all_of(entries.begin(), entries.end(), [](const JournalRow& e) { return e.ok(); });
    }
};

std::vector<Document> documents(Store& store) {
    std::vector<Document> out;
    bool closed = true;
    for (auto& r : journalRows(store)) {
        if (closed || out.back().printNo != r.documentNo)
            out.push_back(Document{r.documentNo, {}});
        closed = r.kind != "note"; // lines of a document still being printed are notes
        out.back().entries.push_back(std::move(r));
    }
    return out;
}

QJsonObject entryJson(const JournalRow& r) {
    QJsonObject o;
    o["entry"] = static_cast<qint64>(r.id);
    o["time"] = q(wall(r.at));
    o["at"] = static_cast<qint64>(r.at);
    o["kind"] = q(r.kind);
    o["printNo"] = static_cast<qint64>(r.documentNo);
    o["text"] = q(r.text);
    o["prevHash"] = q(r.prevHash);
    o["hash"] = q(r.hash);
    o["ok"] = r.ok();
    return o;
}

QJsonObject documentJson(const Document& d) {
    QJsonObject o;
    o["printNo"] = static_cast<qint64>(d.printNo);
    o["kind"] = q(d.kind());
    o["time"] = q(wall(d.entries.front().at));
    o["text"] = q(d.text());
    o["ok"] = d.ok();
    QJsonArray entries;
    for (const auto& e : d.entries)
        entries.append(entryJson(e));
    o["entries"] = entries;
    return o;
}

std::string documentHeading(const Document& d) {
    const int64_t first = d.entries.front().id, last = d.entries.back().id;
    return "--- print no. " + paper::digits(d.printNo, 6) + ", " + wall(d.entries.front().at) + ", " +
           d.kind() + ", journal " +
           (first == last ? "entry " + std::to_string(first)
                          : "entries " + std::to_string(first) + "-" + std::to_string(last)) +
           (d.ok() ? "" : ", DOES NOT MATCH ITS HASHES (see verify)") + "\n";
}

int journal(const Port& p, const QCommandLineParser& parser) {
    const auto from = number(parser, "from"), to = number(parser, "to");
    if (from && to && *from > *to)
        fail(Usage, "--from is after --to");
    const auto day = date(parser, "date");
    Store store;
    openStore(p, store);
    std::vector<Document> shown;
    for (auto& d : documents(store)) {
        const QDate on = QDateTime::fromSecsSinceEpoch(d.entries.front().at, Qt::UTC).date();
        if ((from && d.printNo < *from) || (to && d.printNo > *to) || (day && on != *day))
            continue;
        shown.push_back(std::move(d));
    }
    if (p.json) {
        QJsonArray a;
        for (const auto& d : shown)
            a.append(documentJson(d));
        printJson(a);
        return Ok;
    }
    std::string t;
    for (const auto& d : shown)
        t += documentHeading(d) + d.text();
    if (shown.empty())
        t += "no documents in the range\n";
    print(t);
    return Ok;
}

// A copy of a document as printed, between two lines marking it a copy.
int reprint(const Port& p, const QCommandLineParser& parser) {
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        fail(Usage, "reprint wants one print number (see `journal`)");
    bool ok = false;
    const qlonglong n = args[1].toLongLong(&ok);
    if (!ok || n < 1)
        fail(Usage, "reprint wants a print number from 1, not \"" + args[1].toStdString() + "\"");
    Store store;
    openStore(p, store);
    std::vector<Document> found;
    int64_t last = 0;
    for (auto& d : documents(store)) {
        last = std::max(last, d.printNo);
        if (d.printNo == n)
            found.push_back(std::move(d));
    }
    if (found.empty())
        fail(Usage, "no document with print number " + std::to_string(n) + " on " + p.name +
                        (last ? " (the journal holds 1 to " + std::to_string(last) + ")"
                              : " (the journal is empty)"));
    const std::string mark = paper::centre("*** KOPIA ***") + "\n";
    std::string copy = mark;
    for (const auto& d : found)
        copy += d.text();
    if (copy.back() != '\n')
        copy += "\n";
    copy += mark;
    if (p.json) {
        QJsonObject o = documentJson(found.front());
        o["copy"] = q(copy);
        printJson(o);
        return Ok;
    }
    print(copy);
    return Ok;
}

// ---- the last document ----

// The journal's kinds for people, and the printed line that holds a
// document's total.
struct KindName {
    const char* kind;
    const char* title;
    const char* totalLabel;
};
constexpr KindName kKindNames[] = {
    {"receipt", "receipt", nullptr}, // DO ZAPŁATY, else SUMA and the currency
    {"receipt-cancelled", "cancelled receipt", "SUMA ANULOWANA"},
    {"z-report", "daily report", "ŁĄCZNA NALEŻNOŚĆ"},
    {"x-report", "X report (non-fiscal)", "NALEŻNOŚĆ"},
    {"cash-in", "cash in (non-fiscal)", "WPŁATA"},
    {"paid-out", "paid out (non-fiscal)", "WYPŁATA"},
    {"package-sale", "packages sold (non-fiscal)", "WPŁATA ZA OPAKOWANIA"},
    {"package-return", "packages returned (non-fiscal)", "WYPŁATA ZA OPAKOWANIA"},
    {"packages-cancelled", "cancelled package document (non-fiscal)", nullptr},
    {"program-report", "programming report (non-fiscal)", nullptr},
    {"fiscal-memory-report", "fiscal memory report (non-fiscal)", nullptr},
    {"vat-change", "VAT rate change", nullptr},
    {"fiscalisation", "fiscalisation", nullptr},
    {"ram-reset", "RAM reset", nullptr},
    {"firmware", "firmware update note", nullptr},
    {"firmware-full", "firmware update note", nullptr},
};

// The amount at the end of the last printed line "LABEL   123,45".
std::optional<Grosze> printedAmount(const QString& text, const QString& label) {
    const QRegularExpression line(QStringLiteral("^") + label + QStringLiteral(" +(-?)(\\d+),(\\d\\d)$"),
                                  QRegularExpression::MultilineOption);
    std::optional<Grosze> found;
    for (auto it = line.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const Grosze v = m.captured(2).toLongLong() * 100 + m.captured(3).toLongLong();
        found = m.captured(1).isEmpty() ? v : -v;
    }
    return found;
}

// What the journal and the paper roll say of the port's last document.
struct LastDocument {
    std::string kind, title;
    bool training = false, committed = true, open = false, onRoll = false;
    std::optional<int64_t> receiptNo;
    std::optional<Grosze> total;
    std::string receiptNoNote, totalNote, committedText;
};

LastDocument describeLast(const Document& d, const State& st, const Exec& exec, const std::string& roll) {
    LastDocument l;
    const std::string text = d.text();
    const QString t = q(text);
    l.kind = d.kind();
    l.training = t.contains(
        QRegularExpression(QStringLiteral("^ *NIEFISKALNY *$"), QRegularExpression::MultilineOption));
    l.onRoll = !text.empty() && roll.size() >= text.size() &&
               roll.compare(roll.size() - text.size(), text.size(), text) == 0;
    const std::string entries = d.entries.size() == 1 ? "entry " + std::to_string(d.entries.front().id)
                                                      : "entries " + std::to_string(d.entries.front().id) +
                                                            "-" + std::to_string(d.entries.back().id);
    if (l.kind == "note") {
        // lines of a document still being printed: the working memory says which
        l.committed = false;
        l.open = true;
        if (st.receipt.open) {
            l.kind = "receipt";
            l.title = "receipt, still open (not paid)";
            l.receiptNo = st.receiptNo + 1;
            l.receiptNoNote = " when it is paid";
            l.total = exec.receiptTotal(st.receipt);
            l.totalNote = " so far";
        } else if (!st.packageLines.empty()) {
            l.kind = "packages";
            l.title = "package document, still open";
        } else if (t.contains(QStringLiteral("ODŁOŻONY NR"))) {
            l.kind = "receipt";
            l.title = "receipt set aside (not paid)";
        } else {
            l.title = "lines of a document not finished";
        }
        l.committedText = "not yet: its lines so far are in the journal (" + entries +
                          "); it is recorded as a document only when it is finished";
        return l;
    }
    l.title = l.kind;
    for (const KindName& k : kKindNames) {
        if (l.kind != k.kind)
            continue;
        l.title = k.title;
        if (k.totalLabel)
            l.total = printedAmount(t, QString::fromUtf8(k.totalLabel));
    }
    if (l.kind == "receipt") {
        l.total = printedAmount(t, QStringLiteral("DO ZAPŁATY"));
        if (!l.total)
            l.total = printedAmount(t, QStringLiteral("SUMA (?!PTU)[A-Z]{3}"));
        const QRegularExpression footer(QStringLiteral("^(\\d{6}) #\\d{3} "),
                                        QRegularExpression::MultilineOption);
        for (auto it = footer.globalMatch(t); it.hasNext();)
            l.receiptNo = it.next().captured(1).toLongLong();
    }
    if (l.training && (l.kind == "receipt" || l.kind == "z-report"))
        l.title += " (training mode, non-fiscal)";
    l.committedText = "yes: in the electronic journal (" + entries + ")" +
                      (d.ok() ? "" : ", DOES NOT MATCH ITS HASHES (see verify)");
    return l;
}

// The tail of the paper roll, as long as `bytes` at most.
std::string rollTail(const Port& p, size_t bytes) {
    QFile f(q(p.dataDir + "/" + p.name + "-paper.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return std::string();
    const qint64 want = static_cast<qint64>(bytes);
    if (f.size() > want)
        f.seek(f.size() - want);
    return f.readAll().toStdString();
}

int last(const Port& p, const QCommandLineParser&) {
    const Settings settings = readSettings(p.name);
    Store store;
    openStore(p, store);
    State st;
    if (!store.loadState(st))
        fail(Unreadable, "cannot read the working memory of the printer on " + p.name);
    std::vector<Document> all = documents(store);
    if (all.empty()) {
        if (p.json) {
            QJsonObject o;
            o["port"] = q(p.name);
            o["printNo"] = QJsonValue();
            printJson(o);
        } else {
            print("no document on " + p.name + " yet: the journal is empty\n");
        }
        return Ok;
    }
    const Document& d = all.back();
    Outcome scratch;
    scratch.state = st;
    const Request none;
    const Exec exec(store, store, settings.faults, QDateTime::currentSecsSinceEpoch(), none, scratch);
    const LastDocument l = describeLast(d, st, exec, rollTail(p, d.text().size()));
    const std::string rollText =
        l.onRoll ? "the roll file ends with it"
                 : "the roll file does not end with it (the roll is written beside the journal: a program "
                   "ended between the two, a state loaded, or the file changed)";
    const std::string after = "nothing: a command cut short after it left no trace; the next document "
                              "takes print no. " +
                              paper::digits(st.documentNo + 1, 6);

    if (p.json) {
        QJsonObject o;
        o["port"] = q(p.name);
        o["printNo"] = static_cast<qint64>(d.printNo);
        o["kind"] = q(l.kind);
        o["title"] = q(l.title);
        o["training"] = l.training;
        o["receiptNo"] = l.receiptNo ? QJsonValue(static_cast<qint64>(*l.receiptNo)) : QJsonValue();
        o["time"] = q(wall(d.entries.front().at));
        o["lastEntryTime"] = q(wall(d.entries.back().at));
        o["total"] = l.total ? QJsonValue(static_cast<qint64>(*l.total)) : QJsonValue();
        o["committed"] = l.committed;
        o["open"] = l.open;
        QJsonObject entries;
        entries["first"] = static_cast<qint64>(d.entries.front().id);
        entries["last"] = static_cast<qint64>(d.entries.back().id);
        o["journalEntries"] = entries;
        o["hashesMatch"] = d.ok();
        o["onPaperRoll"] = l.onRoll;
        o["nextPrintNo"] = static_cast<qint64>(st.documentNo + 1);
        o["text"] = q(d.text());
        printJson(o);
        return Ok;
    }
    std::string t;
    auto line = [&](const std::string& label, const std::string& value) {
        t += paper::pad(label, 16) + value + "\n";
    };
    line("Port", p.name);
    line("Print no.", paper::digits(d.printNo, 6));
    line("Kind", l.title);
    if (l.receiptNo)
        line("Receipt no.", paper::digits(*l.receiptNo, 6) + l.receiptNoNote);
    line("Time", wall(d.entries.front().at) + (d.entries.back().at != d.entries.front().at
                                                   ? " (last entry " + wall(d.entries.back().at) + ")"
                                                   : ""));
    line("Total", l.total ? money(*l.total) + l.totalNote : std::string("none"));
    line("Committed", l.committedText);
    line("Paper roll", rollText);
    if (l.committed)
        line("After it", after);
    print(t);
    return Ok;
}

int exportJournal(const Port& p, const QCommandLineParser& parser) {
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2 || args[1].isEmpty())
        fail(Usage, "export-journal wants the file to write");
    Store store;
    openStore(p, store);
    const ChainReport chains = store.verify();
    const std::vector<JournalRow> rows = entriesOfPeriod(store, parser);
    State st;
    store.loadState(st);
    std::string t = "Electronic journal of the virtual printer on " + p.name + "\n";
    t += "Printer: " + (st.idCode.empty() ? std::string("no ID") : st.idCode + " " + st.idNumber) +
         ", tax ID " + (st.taxId.empty() ? std::string("not set") : st.taxId) + ", " +
         (st.fiscal ? "fiscal" : "training") + " mode\n";
    t += "Period: " + (parser.isSet("from-date") ? parser.value("from-date").toStdString() : "the start") +
         " to " + (parser.isSet("to-date") ? parser.value("to-date").toStdString() : "today") + ", " +
         std::to_string(rows.size()) + " entries\n";
    t += "Exported: " + wall(QDateTime::currentSecsSinceEpoch()) + " UTC\n";
    t += "Chains: " + chainText(chains) + "\n";
    t +=
        "Each entry's hash is the hex SHA-256 of: previous hash, LF, at, LF, kind, LF, print no., LF, text\n";
    for (const auto& r : rows) {
        t += "\n=== entry " + std::to_string(r.id) + "\n";
        t += "time:      " + wall(r.at) + "\n";
        t += "at:        " + std::to_string(r.at) + "\n";
        t += "kind:      " + r.kind + "\n";
        t += "print no.: " + std::to_string(r.documentNo) + "\n";
        t += "prev hash: " + r.prevHash + "\n";
        t += "hash:      " + r.hash + (r.ok() ? "" : "   (" + rowProblem(r.linked, r.matches) + ")") + "\n";
        t += "text:\n" + r.text;
        if (!r.text.empty() && r.text.back() != '\n')
            t += "\n";
    }
    QSaveFile out(args[1]);
    if (!out.open(QIODevice::WriteOnly))
        fail(WriteFailed, "cannot write " + args[1].toStdString() + ": " + out.errorString().toStdString());
    out.write(t.data(), static_cast<qint64>(t.size()));
    if (!out.commit())
        fail(WriteFailed, "cannot write " + args[1].toStdString() + ": " + out.errorString().toStdString());
    if (!p.json)
        print("wrote " + std::to_string(rows.size()) + " journal entries to " + args[1].toStdString() + "\n");
    return Ok;
}

// ---- verify ----

int verify(const Port& p, const QCommandLineParser&) {
    Store store;
    openStore(p, store);
    const ChainReport c = store.verify();
    std::vector<std::string> problems;
    for (const auto& r : fiscalRows(store))
        if (!r.ok())
            problems.push_back(rowName(r) + " " + rowProblem(r.linked, r.matches));
    for (const auto& r : journalRows(store))
        if (!r.ok())
            problems.push_back("journal entry " + std::to_string(r.id) + " " +
                               rowProblem(r.linked, r.matches));
    const bool whole = c.whole() && problems.empty();
    if (p.json) {
        QJsonObject o = chainJson(c);
        o["whole"] = whole;
        QJsonArray a;
        for (const auto& s : problems)
            a.append(q(s));
        o["problems"] = a;
        printJson(o);
    } else {
        std::string t = "fiscal memory: " + std::to_string(c.fiscalRecords) + " rows, " +
                        (c.damagedZ.empty() && !c.fiscalBroken ? "whole" : "BROKEN") + "\n";
        t += "journal: " + std::to_string(c.journalEntries) + " entries, " +
             (c.journalBroken ? "BROKEN" : "whole") + "\n";
        for (const auto& s : problems)
            t += "  " + s + "\n";
        print(t);
    }
    return whole ? Ok : Broken;
}

// ---- audit ----

int auditCommand(const Port& p, const QCommandLineParser& parser) {
    audit::Options o;
    o.from = date(parser, "from-date"), o.to = date(parser, "to-date");
    if (o.from && o.to && *o.from > *o.to)
        fail(Usage, "--from-date is after --to-date");
    if (isatty(fileno(stderr)))
        o.progress = [](int64_t done, int64_t total) {
            std::fprintf(stderr, "\raudit: %lld of %lld journal entries", static_cast<long long>(done),
                         static_cast<long long>(total));
            if (done >= total)
                std::fprintf(stderr, "\r\033[K");
        };
    Store store;
    openStore(p, store);
    const audit::Result r = audit::run(store, o);
    if (p.json)
        printJson(audit::toJson(r));
    else
        print(audit::toText(r));
    return r.findings.empty() ? Ok : Broken;
}

// ---- states ----

std::string stateName(const QCommandLineParser& parser, const char* command) {
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        fail(Usage, std::string(command) + " wants one state name");
    const std::string name = args[1].toStdString();
    if (!validStateName(name))
        fail(Usage, "\"" + name + "\" is not a state name: use letters, digits, '.', '_' and '-' (up to 64)");
    return name;
}

int saveStateCommand(const Port& p, const QCommandLineParser& parser) {
    const std::string name = stateName(parser, "save-state");
    saveState(p.dataDir, p.name, name);
    if (!p.json)
        print("saved the printer on " + p.name + " as " + statePath(p.dataDir, name) + "\n");
    return Ok;
}

// Why the port's printer may be replaced only with --force: fiscal mode, or
// records in its fiscal memory, which only deleting its database may empty;
// empty when neither.
std::string fiscalMemoryInUse(const Port& p) {
    Store store;
    openStore(p, store);
    State st;
    if (!store.loadState(st))
        fail(Unreadable, "cannot read the working memory of the printer on " + p.name +
                             " (give --force to replace it all the same)");
    int64_t reports = 0, events = 0;
    query(store.handle(), "SELECT COUNT(z_no), COUNT(*) - COUNT(z_no) FROM fiscal_record",
          [&](sqlite3_stmt* s, auto) {
              reports = sqlite3_column_int64(s, 0);
              events = sqlite3_column_int64(s, 1);
          });
    if (!st.fiscal && reports + events == 0)
        return std::string();
    const auto count = [](int64_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    return p.name + "'s printer " + (st.fiscal ? "is fiscalised" : "has a fiscal memory in use") + " (" +
           (st.fiscal ? "fiscal" : "training") + " mode; its fiscal memory holds " +
           count(reports, "daily report", "daily reports") + " and " + count(events, "event", "events") + ")";
}

// Saves the port's printer as a state named by the port, the date and the time; its name.
std::string keepReplaced(const Port& p) {
    const std::string stamp = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss").toStdString();
    std::string name = p.name + "-kept-" + stamp;
    for (int n = 2; QFileInfo::exists(q(statePath(p.dataDir, name))); ++n)
        name = p.name + "-kept-" + stamp + "-" + std::to_string(n);
    saveState(p.dataDir, p.name, name);
    return name;
}

int loadStateCommand(const Port& p, const QCommandLineParser& parser) {
    const std::string name = stateName(parser, "load-state");
    bool built = false;
    const std::string snapshot = stateForLoading(p.dataDir, name, &built);
    checkState(snapshot);
    PortLock lock(p.lockFile());
    HeldPort held(&lock);
    if (!held.held())
        fail(Busy, p.name + " is busy: a command is running; try again");
    if (built)
        print("built " + snapshot + "\n");
    if (QFileInfo::exists(q(p.database()))) {
        if (!parser.isSet("force"))
            if (const std::string why = fiscalMemoryInUse(p); !why.empty())
                fail(Usage,
                     why + ": loading a state would replace its fiscal memory, which otherwise " +
                         "only deleting the database empties; give --force to replace it all the same " +
                         "(the printer is kept as a saved state first)");
        const std::string kept = keepReplaced(p);
        print("kept the printer on " + p.name + " as the state " + kept + " (" + statePath(p.dataDir, kept) +
              ")\n");
    }
    loadState(snapshot, p.database());
    print("loaded the state " + name + " into " + p.name + "\n");
    return Ok;
}

int states(const Port& p, const QCommandLineParser&) {
    const QDir dir(q(statesDirectory(p.dataDir)));
    QJsonArray a;
    std::string t;
    std::vector<std::string> seen;
    for (const QFileInfo& f : dir.entryInfoList({"*.sqlite"}, QDir::Files, QDir::Name)) {
        const std::string name = f.completeBaseName().toStdString();
        if (!validStateName(name))
            continue;
        seen.push_back(name);
        QJsonObject o;
        o["name"] = q(name);
        o["path"] = f.absoluteFilePath();
        o["saved"] = f.lastModified().toUTC().toString("yyyy-MM-dd HH:mm:ss");
        o["bytes"] = f.size();
        a.append(o);
        t += paper::pad(name, 28) + f.lastModified().toUTC().toString("yyyy-MM-dd HH:mm:ss").toStdString() +
             " UTC  " + std::to_string(f.size()) + " bytes\n";
    }
    for (const auto& name : readyMadeStates()) {
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            continue;
        QJsonObject o;
        o["name"] = q(name);
        o["readyMade"] = true;
        a.append(o);
        t += paper::pad(name, 28) + "ready-made, built when first loaded\n";
    }
    if (p.json)
        printJson(a);
    else
        print(t);
    return Ok;
}

// ---- the command line ----

struct Command {
    const char* name;
    const char* syntax;
    const char* summary;
    std::vector<QCommandLineOption> options;
    bool json;
    std::function<int(const Port&, const QCommandLineParser&)> run;
};

std::vector<Command> commands() {
    const QCommandLineOption from("from", "First number (Z number or print number).", "N"),
        to("to", "Last number.", "N");
    return {
        {"status",
         "",
         "Mode, ID, tax ID, clock, open receipt, day totals, counters, fiscal memory use, "
         "faults and chain state.",
         {},
         true,
         status},
        {"fiscal-memory",
         "",
         "The Z records (by number) and fiscal events with their hashes; the chain "
         "verified.",
         {from, to},
         true,
         fiscalMemory},
        {"journal",
         "",
         "Documents of the electronic journal as printed, by print number (--from, --to) or day.",
         {from, to, QCommandLineOption("date", "Only entries of this day.", "yyyy-MM-dd")},
         true,
         journal},
        {"reprint", "N", "A copy of the document with print number N, marked KOPIA.", {}, true, reprint},
        {"last",
         "",
         "The last document: print number, kind, time, total, and whether it is committed "
         "(journal and paper roll).",
         {},
         true,
         last},
        {"verify",
         "",
         "Walks the fiscal memory's and the journal's chains. Exit status 0 only when both "
         "are whole, 1 otherwise.",
         {},
         true,
         verify},
        {"export-journal",
         "FILE",
         "Writes the electronic journal of a period, with its hashes, for an "
         "auditor (UTF-8 text).",
         {QCommandLineOption("from-date", "First day.", "yyyy-MM-dd"),
          QCommandLineOption("to-date", "Last day.", "yyyy-MM-dd")},
         false,
         exportJournal},
        {"save-state",
         "NAME",
         "Saves the port's printer as states/NAME.sqlite (safe while a console "
         "runs).",
         {},
         false,
         saveStateCommand},
        {"load-state",
         "NAME",
         "Replaces the port's printer by a saved or ready-made state (fresh, "
         "fiscalised, day-open, fiscal-memory-nearly-full), keeping the printer it "
         "replaces as a saved state named PORT-kept-DATE-TIME. A fiscalised "
         "printer only with --force. Refused while a command runs on the port.",
         {QCommandLineOption("force", "Replace a fiscalised printer too (it is kept first).")},
         false,
         loadStateCommand},
        {"states", "", "Lists the saved states and the ready-made ones.", {}, true, states},
        {"audit",
         "",
         "Checks every fiscal receipt of the journal (line values, discounts, tax per rate, sums, "
         "the order of its lines) and every daily report against the receipts of its day. Exit "
         "status 0 when nothing is found, 1 otherwise.",
         {QCommandLineOption("from-date", "First day.", "yyyy-MM-dd"),
          QCommandLineOption("to-date", "Last day.", "yyyy-MM-dd")},
         true,
         auditCommand},
    };
}

std::string generalHelp(const std::vector<Command>& cmds) {
    std::string t = "Usage: vprinterctl [--port COMn] [--home DIR] [--json] COMMAND [ARGS]\n"
                    "The virtual printer on one port: its memories, chains and saved states.\n\n"
                    "Options:\n"
                    "  --port COMn   the port, COM1 to COM12 (default COM1)\n"
                    "  --home DIR    the data directory (default: as the device libraries find it)\n"
                    "  --json        machine-readable output where a command offers it\n"
                    "  -h, --help    this help; COMMAND --help tells about one command\n\n"
                    "Commands:\n";
    for (const auto& c : cmds)
        t += "  " + paper::pad(std::string(c.name) + (*c.syntax ? std::string(" ") + c.syntax : ""), 22) +
             c.summary + "\n";
    t += "\nExit status: 0 done, 1 a chain is broken (verify) or something found (audit), 2 bad usage\n"
         "or input, 3 the printer or a state cannot be read, 4 the port is busy, 5 a file cannot be\n"
         "written.\n";
    return t;
}

// The first argument that is neither an option nor an option's value.
int commandIndex(const QStringList& args) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--port" || a == "--home" || a == "-port" || a == "-home") {
            ++i;
            continue;
        }
        if (a == "--")
            return i + 1 < args.size() ? i + 1 : -1;
        if (!a.startsWith('-'))
            return i;
    }
    return -1;
}

int run(const QStringList& args) {
    const std::vector<Command> cmds = commands();
    const int at = commandIndex(args);
    if (at < 0) {
        if (args.contains("--help") || args.contains("-h")) {
            print(generalHelp(cmds));
            return Ok;
        }
        fail(Usage, "no command given\n\n" + generalHelp(cmds));
    }
    const Command* cmd = nullptr;
    for (const auto& c : cmds)
        if (args[at] == c.name)
            cmd = &c;
    if (!cmd)
        fail(Usage, "unknown command \"" + args[at].toStdString() + "\"\n\n" + generalHelp(cmds));

    QCommandLineParser parser;
    parser.setApplicationDescription(cmd->summary);
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption port("port", "The port, COM1 to COM12.", "COMn", "COM1");
    const QCommandLineOption home("home", "The data directory.", "DIR");
    const QCommandLineOption json("json", "Machine-readable output.");
    parser.addOption(help);
    parser.addOption(port);
    parser.addOption(home);
    if (cmd->json)
        parser.addOption(json);
    for (const auto& o : cmd->options)
        parser.addOption(o);
    parser.addPositionalArgument(cmd->name, "The command.", QString(cmd->name) + " " + cmd->syntax);
    // the usage line names the program, not the path it was started by
    const auto helpText = [&] {
        QString h = parser.helpText();
        const QString started = args.isEmpty() ? QString() : args.first();
        if (!started.isEmpty())
            h.replace(h.indexOf(started), started.size(), "vprinterctl");
        return h.toStdString();
    };
    if (!parser.parse(args))
        fail(Usage, parser.errorText().toStdString() + "\n\n" + helpText());
    if (parser.isSet(help)) {
        print(helpText());
        return Ok;
    }
    const QStringList positional = parser.positionalArguments();
    const bool wantsArgument = *cmd->syntax != '\0';
    if (positional.size() > (wantsArgument ? 2 : 1))
        fail(Usage, "too many arguments for " + std::string(cmd->name) + "\n\n" + helpText());

    Port p;
    p.name = parser.value(port).toStdString();
    p.json = cmd->json && parser.isSet(json);
    if (!validPortName(p.name.c_str()))
        fail(Usage, "unknown port \"" + p.name + "\": the ports are COM1 to COM12");
    if (parser.isSet(home)) {
        const QFileInfo dir(parser.value(home));
        if (!dir.isDir())
            fail(Unreadable, "the data directory " + parser.value(home).toStdString() + " does not exist");
        // the libraries' and the settings' data directory, for this process
        setenv("VPRINTER_HOME", dir.absoluteFilePath().toLocal8Bit().constData(), 1);
    } else if (const char* env = std::getenv("VPRINTER_HOME"); env && *env && !QFileInfo(env).isDir()) {
        fail(Unreadable, std::string("the data directory ") + env + " (VPRINTER_HOME) does not exist");
    }
    p.dataDir = dataDirectory();
    return cmd->run(p, parser);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vprinterctl");
    try {
        return run(QCoreApplication::arguments());
    } catch (const Failure& f) {
        std::fprintf(stderr, "vprinterctl: %s\n", f.message.c_str());
        return f.exit;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vprinterctl: %s\n", e.what());
        return Unreadable;
    }
}
