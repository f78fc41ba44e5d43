#include "Paper.h"

#include <QString>

#include <algorithm>
#include <cstdio>

namespace vp::paper {

int width(const std::string& utf8) {
    return static_cast<int>(QString::fromStdString(utf8).size());
}

std::string centre(const std::string& text) {
    QString t = QString::fromStdString(text).trimmed().left(kWidth);
    const auto padding = (kWidth - t.size()) / 2;
    return (QString(padding, ' ') + t).toStdString();
}

std::vector<std::string> wrap(const std::string& text) {
    std::vector<std::string> out;
    QString rest = QString::fromStdString(text).trimmed();
    while (rest.size() > kWidth) {
        qsizetype cut = rest.lastIndexOf(' ', kWidth);
        if (cut <= 0)
            cut = kWidth;
        out.push_back(rest.left(cut).trimmed().toStdString());
        rest = rest.mid(cut).trimmed();
    }
    out.push_back(rest.toStdString());
    return out;
}

std::vector<std::string> lr(const std::string& left, const std::string& right) {
    const QString r = QString::fromStdString(right);
    QString l = QString::fromStdString(left);
    std::vector<std::string> out;
    if (l.size() + r.size() + 1 > kWidth) {
        // the left text goes above, wrapped; the amount stands alone on its line
        for (auto& line : wrap(left))
            out.push_back(line);
        const QString last = QString::fromStdString(out.back());
        if (last.size() + r.size() + 1 <= kWidth) {
            out.pop_back();
            l = last;
        } else {
            l.clear();
        }
    }
    const QString shown = r.left(kWidth);
    out.push_back(
        (l + QString(std::max<qsizetype>(0, kWidth - l.size() - shown.size()), ' ') + shown).toStdString());
    return out;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines)
        text += l + "\n";
    return text;
}

std::string rule() {
    return std::string(kWidth, '-');
}

std::string amount(Grosze v) {
    std::string s = formatMoney(v);
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

std::string quantity(int64_t milli) {
    std::string s = formatQuantity(milli);
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

std::string ratePercent(int r) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%d,%02d%%", r / 100, r % 100);
    return buf;
}

std::string digits(int64_t v, int w) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", w, static_cast<long long>(std::max<int64_t>(v, 0)));
    std::string s = buf;
    return s.size() > static_cast<size_t>(w) ? s.substr(s.size() - static_cast<size_t>(w)) : s;
}

std::string pad(std::string s, size_t n, char c) {
    if (s.size() > n)
        s.resize(n);
    s.append(n - s.size(), c);
    return s;
}

std::string groupTaxId(const std::string& taxId, int format) {
    if (format == 0)
        return taxId;
    std::string out;
    size_t p = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const size_t n = static_cast<size_t>((format >> shift) & 0xF);
        if (!out.empty())
            out += '-';
        out += taxId.substr(std::min(p, taxId.size()), n);
        p += n;
    }
    return out;
}

} // namespace vp::paper
