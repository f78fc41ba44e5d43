#include "replay/Report.h"

#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace replay {
namespace {

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString callName(const Step& s) {
    return QStringLiteral("call %1 (%2)").arg(s.number).arg(fromUtf8(s.recorded.function));
}

QString value(const session::Value& v) {
    if (const auto* i = std::get_if<int64_t>(&v))
        return QString::number(*i);
    if (const auto* d = std::get_if<double>(&v))
        return QString::number(*d, 'g', 15);
    if (const auto* s = std::get_if<std::string>(&v))
        return QLatin1Char('"') + fromUtf8(*s) + QLatin1Char('"');
    return QStringLiteral("null");
}

QString arguments(const session::Call& c) {
    QStringList out;
    for (const session::Argument& a : c.arguments)
        out << fromUtf8(a.name) + QLatin1Char('=') + value(a.value);
    return out.join(QStringLiteral(", "));
}

QString esc(const QString& s) {
    return s.toHtmlEscaped();
}

// The answer as lines of 16 bytes: offset, bytes (differing ones marked, the
// differing fields' bytes outlined), then the bytes as characters.
QString dump(const std::string& bytes, const std::string& other, const std::vector<Difference>& differences) {
    std::vector<bool> inField(std::max(bytes.size(), other.size()), false);
    for (const Difference& d : differences)
        for (int i = std::max(d.offset, 0);
             d.offset >= 0 && i < d.offset + d.width && i < static_cast<int>(inField.size()); ++i)
            inField[static_cast<size_t>(i)] = true;
    QString html = QStringLiteral("<pre class=\"dump\">");
    if (bytes.empty())
        html += QStringLiteral("(no bytes)");
    for (size_t line = 0; line < bytes.size(); line += 16) {
        html += QStringLiteral("%1  ").arg(line, 4, 16, QLatin1Char('0')).toUpper();
        QString chars;
        for (size_t i = line; i < line + 16; ++i) {
            if (i >= bytes.size()) {
                html += QStringLiteral("   ");
                continue;
            }
            const auto b = static_cast<unsigned char>(bytes[i]);
            const bool differs = i >= other.size() || other[i] != bytes[i];
            QString cell = QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
            if (differs)
                cell = QStringLiteral("<mark>") + cell + QStringLiteral("</mark>");
            if (inField[i])
                cell = QStringLiteral("<span class=\"f\">") + cell + QStringLiteral("</span>");
            html += cell + QLatin1Char(' ');
            chars += b >= 0x20 && b < 0x7F ? QChar(b) : QChar(u'.');
        }
        html += QLatin1Char(' ') + esc(chars) + QLatin1Char('\n');
    }
    return html + QStringLiteral("</pre>");
}

const char kStyle[] = R"(body{font-family:sans-serif;margin:1.5em;color:#222}
table{border-collapse:collapse;margin:.5em 0}
td,th{border:1px solid #bbb;padding:2px 6px;text-align:left;vertical-align:top}
th{background:#eee}
tr.differs td{background:#fde8e8}
tr.skipped td{color:#777}
pre.dump{font-family:monospace;margin:0;line-height:1.4}
mark{background:#ffd54f}
span.f{outline:1px solid #c62828}
.side{display:flex;gap:2em;flex-wrap:wrap}
.ok{color:#2e7d32}.bad{color:#c62828})";

// "1 call", "2 calls".
QString count(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

QString countsLine(const Result& result) {
    QString line = count(static_cast<qsizetype>(result.steps.size()), "call", "calls") +
                   QStringLiteral(" replayed, %1 differ").arg(result.differing());
    QStringList extra;
    if (result.volatileIgnored() > 0)
        extra << count(result.volatileIgnored(), "volatile field", "volatile fields") +
                     QStringLiteral(" ignored");
    if (result.ignored() > 0)
        extra << count(result.ignored(), "field", "fields") + QStringLiteral(" ignored as asked");
    const auto skipped =
        std::count_if(result.steps.begin(), result.steps.end(), [](const Step& s) { return s.skipped; });
    if (skipped > 0)
        extra << QStringLiteral("%1 not run").arg(skipped);
    if (!extra.isEmpty())
        line += QStringLiteral(" (") + extra.join(QStringLiteral(", ")) + QLatin1Char(')');
    return line;
}

QString textSummary(const Result& result) {
    QString out;
    for (const Step& s : result.steps) {
        if (s.skipped) {
            out += callName(s) + QStringLiteral(": ") + s.note + QLatin1Char('\n');
            continue;
        }
        if (s.comparison.matches())
            continue;
        QStringList parts;
        for (const Difference& d : s.comparison.differences)
            parts << QStringLiteral("%1: recorded %2, replayed %3").arg(d.field, d.recorded, d.replayed);
        out += callName(s) + QStringLiteral(": ") + parts.join(QStringLiteral("; ")) + QLatin1Char('\n');
    }
    return out + countsLine(result) + QLatin1Char('\n');
}

QString htmlReport(const Result& result, const ReportInfo& info) {
    QString h;
    h +=
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Replay of ") +
        esc(info.session) + QStringLiteral("</title>\n<style>") + QString::fromLatin1(kStyle) +
        QStringLiteral("</style></head><body>\n");
    h += QStringLiteral("<h1>Replay of %1</h1>\n<p>Device libraries from %2.</p>\n")
             .arg(esc(info.session), esc(info.libraryDir));
    h += QStringLiteral("<p class=\"%1\">%2</p>\n")
             .arg(result.differing() == 0 && result.stopped.isEmpty() ? QStringLiteral("ok")
                                                                      : QStringLiteral("bad"),
                  esc(countsLine(result)));
    if (!result.stopped.isEmpty())
        h += QStringLiteral("<p class=\"bad\">Stopped: %1</p>\n").arg(esc(result.stopped));

    h += QStringLiteral(
        "<h2>Calls</h2>\n<table><tr><th>#</th><th>Library</th><th>Function</th><th>Arguments</th>"
        "<th>Recorded status</th><th>Replayed status</th><th>Result</th></tr>\n");
    for (const Step& s : result.steps) {
        const bool differs = !s.comparison.matches();
        QString outcome = s.skipped ? esc(s.note)
                          : differs ? QStringLiteral("<a href=\"#call%1\">%2 differences</a>")
                                          .arg(s.number)
                                          .arg(s.comparison.differences.size())
                                    : QStringLiteral("same");
        if (!s.skipped && !s.note.isEmpty())
            outcome += QStringLiteral(" (") + esc(s.note) + QLatin1Char(')');
        h += QStringLiteral("<tr%1><td>%2</td><td>%3</td><td>%4%5</td><td>%6</td><td>%7</td><td>%8</"
                            "td><td>%9</td></tr>\n")
                 .arg(differs     ? QStringLiteral(" class=\"differs\"")
                      : s.skipped ? QStringLiteral(" class=\"skipped\"")
                                  : QString())
                 .arg(s.number)
                 .arg(esc(fromUtf8(s.recorded.library)), esc(fromUtf8(s.recorded.function)),
                      s.recorded.sizing ? QStringLiteral(" (sizing)") : QString(), esc(arguments(s.recorded)))
                 .arg(s.recorded.status)
                 .arg(s.skipped ? QStringLiteral("-") : QString::number(s.replayed.status))
                 .arg(outcome);
    }
    h += QStringLiteral("</table>\n");

    for (const Step& s : result.steps) {
        if (s.comparison.matches())
            continue;
        h += QStringLiteral("<h2 id=\"call%1\">Call %1: %2 %3</h2>\n")
                 .arg(s.number)
                 .arg(esc(fromUtf8(s.recorded.library)), esc(fromUtf8(s.recorded.function)));
        h += QStringLiteral("<table><tr><th>Field</th><th>Meaning</th><th>Bytes</th><th>Recorded</"
                            "th><th>Replayed</th></tr>\n");
        for (const Difference& d : s.comparison.differences)
            h += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td></tr>\n")
                     .arg(esc(d.field), esc(d.meaning),
                          d.offset < 0 ? QString()
                                       : QStringLiteral("%1-%2").arg(d.offset).arg(d.offset + d.width - 1),
                          esc(d.recorded), esc(d.replayed));
        h += QStringLiteral("</table>\n");
        if (!s.recorded.answer.empty() || !s.replayed.answer.empty())
            h += QStringLiteral("<div class=\"side\"><div><h3>Recorded</h3>") +
                 dump(s.recorded.answer, s.replayed.answer, s.comparison.differences) +
                 QStringLiteral("</div><div><h3>Replayed</h3>") +
                 dump(s.replayed.answer, s.recorded.answer, s.comparison.differences) +
                 QStringLiteral("</div></div>\n");
    }
    return h + QStringLiteral("</body></html>\n");
}

bool writeHtmlReport(const QString& path, const Result& result, const ReportInfo& info, QString* error) {
    QSaveFile f(path);
    const QByteArray html = htmlReport(result, info).toUtf8();
    if (!f.open(QIODevice::WriteOnly) || f.write(html) != html.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write the report \"%1\": %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

} // namespace replay
