#include "Runner.h"

#include "Paper.h"

#include <QDateTime>
#include <QFile>

namespace vp {
namespace {

RunResult failed(int32_t status, int32_t sub, size_t step = 0) {
    RunResult r;
    r.status = status;
    r.subCode = sub;
    r.failedStep = step;
    return r;
}

} // namespace

RunResult runCommand(Store& store, const Request& request, const RunOptions& options) {
    return runCommands(store, {TimedRequest{request, 0}}, options);
}

RunResult runCommands(Store& store, const std::vector<TimedRequest>& steps, const RunOptions& options) {
    if (!store.begin())
        return failed(-5, 1);
    State st;
    if (!store.loadState(st)) {
        store.rollback();
        return failed(-6, 6);
    }
    RunResult last;
    std::vector<std::string> paper;
    for (size_t i = 0; i < steps.size(); ++i) {
        const int64_t now = steps[i].at != 0
                                ? steps[i].at
                                : QDateTime::currentSecsSinceEpoch() + options.clockOffset + st.clockOffset;
        Outcome o = Printer::execute(st, store, store, options.faults, now, steps[i].request);
        if (o.status < 0) {
            store.rollback();
            return failed(o.status, o.subCode, i);
        }
        if (o.changed) {
            const std::string journal = paper::joinLines(o.paper);
            if (!store.saveState(st, o.state) || !store.append(o, now, o.state.documentNo, journal)) {
                store.rollback();
                return failed(-6, o.newRecords.empty() ? 6 : 3, i);
            }
            st = o.state;
            paper.insert(paper.end(), o.paper.begin(), o.paper.end());
        }
        last.status = o.status;
        last.subCode = o.subCode;
        last.answer = o.answer;
    }
    if (!store.commit()) {
        store.rollback();
        return failed(-6, 6, steps.empty() ? 0 : steps.size() - 1);
    }
    appendToRoll(options.paperPath, paper);
    last.paper = std::move(paper);
    return last;
}

void appendToRoll(const std::string& path, const std::vector<std::string>& lines) {
    if (path.empty() || lines.empty())
        return;
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::Append))
        return;
    const std::string text = paper::joinLines(lines);
    f.write(text.data(), static_cast<qint64>(text.size()));
}

} // namespace vp
