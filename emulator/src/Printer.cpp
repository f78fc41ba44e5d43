#include "Printer.h"

#include <QDateTime>

#include "Commands.h"
#include "Exec.h"

namespace vp {

int64_t wallSeconds(int y, int mo, int d, int h, int mi, int s) {
    const QDateTime t(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    return t.isValid() ? t.toSecsSinceEpoch() : -1;
}

std::string formatWall(int64_t secs, bool withTime) {
    const QDateTime t = QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
    return t.toString(withTime ? "yyyy-MM-dd HH:mm" : "yyyy-MM-dd").toStdString();
}

Request parseCommandLine(const std::string& line) {
    Request r;
    r.code = line.substr(0, 2);
    if (line.size() > 2) {
        const std::string rest = line.substr(line[2] == '|' ? 3 : 2);
        size_t start = 0;
        while (true) {
            const size_t bar = rest.find('|', start);
            r.fields.push_back(rest.substr(start, bar == std::string::npos ? bar : bar - start));
            if (bar == std::string::npos)
                break;
            start = bar + 1;
        }
    }
    return r;
}

void Printer::catchUp(State& s, int64_t now, std::vector<FmEvent>& events, std::vector<std::string>& paper) {
    bool postponed = false;
    for (const auto& r : s.postponed)
        postponed = postponed || r.open;
    if (!s.change.set || now < s.change.at || s.receipt.open || !s.packageLines.empty() || s.day.hasSales() ||
        postponed || s.ramError)
        return;
    const CurrencyChange c = s.change;
    s.first = c.first;
    s.second = c.second;
    s.sale = Currency{c.newName, 0, ""};
    s.change = CurrencyChange{};
    ++s.currencyChanges;
    if (s.fiscal)
        events.push_back(FmEvent{now, "currency", "{\"name\":\"" + c.newName + "\"}"});
    paper.push_back(paper::centre("ZMIANA WALUTY NA " + c.newName));
    for (auto& l : paper::lr("OD", formatWall(c.at)))
        paper.push_back(l);
    paper.push_back("");
}

Outcome Printer::execute(const State& state, const FiscalView& fm, const ArticleView& articles,
                         const Faults& faults, int64_t now, const Request& request) {
    Outcome o;
    o.state = state;
    try {
        const CommandEntry* command = findCommand(request.code);
        if (command == nullptr)
            refuse(1);
        if (state.ramError && !command->withRamError)
            refuse(err::RamChecksum);
        Printer::catchUp(o.state, now, o.newEvents, o.paper);
        if (!o.newEvents.empty() || !o.paper.empty())
            o.changed = true;
        if (command->serviceOnly && !o.state.serviceMode)
            refuse(err::ServiceOnly);
        if (command->noDocument && (o.state.receipt.open || !o.state.packageLines.empty()))
            refuse(err::Sequence);
        Exec e(fm, articles, faults, now, request, o);
        (e.*(command->handler))();
    } catch (const Refusal& r) {
        Outcome refused;
        refused.state = state;
        refused.status = r.status;
        refused.subCode = r.sub;
        return refused;
    }
    return o;
}

} // namespace vp
