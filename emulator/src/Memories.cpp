#include "Memories.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace vp {

Grosze ZRecord::total() const {
    Grosze t = 0;
    for (auto g : gross)
        t += g;
    return t;
}

Grosze ZRecord::vatTotal() const {
    Grosze t = 0;
    for (auto v : vat)
        t += v;
    return t;
}

FiscalFacts deriveFacts(const std::vector<FmEvent>& events) {
    FiscalFacts f;
    auto ratesOf = [&](const QJsonObject& o) {
        const QJsonArray a = o.value("rates").toArray();
        if (a.size() != 9)
            return;
        for (qsizetype i = 0; i < 9; ++i)
            f.rates[static_cast<size_t>(i)] = a[i].toInt();
        f.exempt = o.value("exempt").toString().toStdString();
        f.ratesKnown = true;
    };
    for (const auto& e : events) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(e.data)).object();
        if (e.kind == "id") {
            f.idCode = o.value("code").toString().toStdString();
            f.idNumber = o.value("number").toString().toStdString();
        } else if (e.kind == "taxid") {
            f.taxId = o.value("taxId").toString().toStdString();
            f.taxIdFormat = o.value("format").toInt();
        } else if (e.kind == "fiscal") {
            f.fiscal = true;
            ratesOf(o);
        } else if (e.kind == "vat") {
            ++f.vatChanges;
            ratesOf(o);
        } else if (e.kind == "currency") {
            ++f.currencyChanges;
            f.saleCurrency = o.value("name").toString().toStdString();
        } else if (e.kind == "ramreset") {
            ++f.ramResets;
        }
    }
    return f;
}

void applyFacts(const FiscalFacts& f, State& s) {
    s.idCode = f.idCode;
    s.idNumber = f.idNumber;
    s.taxId = f.taxId;
    s.taxIdFormat = f.taxIdFormat;
    s.fiscal = f.fiscal;
    s.ramResets = f.ramResets;
    if (f.fiscal) {
        s.vatChanges = f.vatChanges;
        s.currencyChanges = f.currencyChanges;
        if (f.ratesKnown) {
            s.rates = f.rates;
            s.exemptLetter = f.exempt;
            s.ratesSet = true;
        }
        if (!f.saleCurrency.empty())
            s.sale.code = f.saleCurrency;
    }
}

int64_t FiscalMemory::lastEntryAt() const {
    int64_t last = 0;
    for (const auto& z : records)
        last = std::max(last, z.at);
    for (const auto& e : events)
        last = std::max(last, e.at);
    return last;
}

std::vector<ZRecord> FiscalMemory::byNumber(int64_t first, int64_t last) const {
    std::vector<ZRecord> out;
    for (const auto& z : records)
        if (z.zNo >= first && z.zNo <= last)
            out.push_back(z);
    return out;
}

std::vector<ZRecord> FiscalMemory::byTime(int64_t from, int64_t to) const {
    std::vector<ZRecord> out;
    for (const auto& z : records)
        if (z.at >= from && z.at <= to)
            out.push_back(z);
    return out;
}

std::optional<Article> ArticleBase::find(const std::string& name) const {
    const auto it = articles.find(name);
    return it == articles.end() ? std::nullopt : std::optional<Article>(it->second);
}

void ArticleBase::forEach(const std::function<void(const Article&)>& f) const {
    for (const auto& [name, a] : articles)
        f(a);
}

} // namespace vp
