#include "Money.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace vp {

__extension__ typedef __int128 Wide;

int64_t roundDiv(int64_t num, int64_t den) {
    if (num >= 0)
        return (num + den / 2) / den;
    return -((-num + den / 2) / den);
}

namespace {
int64_t roundDivWide(Wide num, int64_t den) {
    const Wide q = num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
    return static_cast<int64_t>(q);
}
} // namespace

Grosze vatFromGross(Grosze gross, int rate) {
    if (rate <= 0 || rate >= kInactiveRate)
        return 0;
    return roundDivWide(static_cast<Wide>(gross) * rate, 10000 + rate);
}

std::optional<Grosze> lineValue(int64_t quantityMilli, Grosze price) {
    if (quantityMilli < 0 || price < 0)
        return std::nullopt;
    const Wide v = (static_cast<Wide>(quantityMilli) * price + 500) / 1000;
    if (v > kMaxAmount)
        return std::nullopt;
    return static_cast<Grosze>(v);
}

Grosze percentOf(Grosze amount, int rate) {
    return roundDivWide(static_cast<Wide>(amount) * rate, 10000);
}

std::vector<Grosze> splitProportionally(Grosze total, const std::vector<Grosze>& weights) {
    std::vector<Grosze> parts(weights.size(), 0);
    const Grosze sum = std::accumulate(weights.begin(), weights.end(), Grosze{0});
    if (sum <= 0)
        return parts;
    const Grosze sign = total < 0 ? -1 : 1;
    const Grosze magnitude = total * sign;
    std::vector<std::pair<Grosze, size_t>> remainders;
    Grosze given = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        const Wide exact = static_cast<Wide>(magnitude) * weights[i];
        parts[i] = static_cast<Grosze>(exact / sum);
        remainders.emplace_back(static_cast<Grosze>(exact % sum), i);
        given += parts[i];
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t k = 0; given < magnitude && k < remainders.size(); ++k, ++given)
        ++parts[remainders[k].second];
    for (auto& p : parts)
        p *= sign;
    return parts;
}

std::optional<Grosze> toSaleCurrency(Grosze foreign, int64_t rateMicro, char direction) {
    if (rateMicro <= 0)
        return std::nullopt;
    const Wide f = foreign;
    if (direction == 'A') {
        const Wide v = (f * rateMicro + 500000) / 1000000;
        return v > kMaxAmount ? std::nullopt : std::optional<Grosze>(static_cast<Grosze>(v));
    }
    if (direction == 'B') {
        const Wide v = (f * 1000000 + rateMicro / 2) / rateMicro;
        return v > kMaxAmount ? std::nullopt : std::optional<Grosze>(static_cast<Grosze>(v));
    }
    return std::nullopt;
}

std::optional<int64_t> parseDecimal(const std::string& text, int decimals) {
    int64_t whole = 0, frac = 0;
    int fracDigits = 0, wholeDigits = 0;
    bool sep = false;
    for (char c : text) {
        if (c == '.' || c == ',') {
            if (sep)
                return std::nullopt;
            sep = true;
        } else if (c >= '0' && c <= '9') {
            if (sep) {
                if (++fracDigits > decimals)
                    return std::nullopt;
                frac = frac * 10 + (c - '0');
            } else {
                if (++wholeDigits > 12)
                    return std::nullopt;
                whole = whole * 10 + (c - '0');
            }
        } else {
            return std::nullopt;
        }
    }
    if (wholeDigits + fracDigits == 0)
        return std::nullopt;
    for (int i = fracDigits; i < decimals; ++i)
        frac *= 10;
    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    return whole * scale + frac;
}

std::optional<int64_t> parseInt(const std::string& text) {
    if (text.empty() || text.size() > 12)
        return std::nullopt;
    size_t i = 0;
    bool neg = false;
    if (text[0] == '-') {
        neg = true;
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    return neg ? -v : v;
}

std::optional<int64_t> scaleDouble(double value, int decimals, int64_t limit) {
    if (!std::isfinite(value) || value < 0)
        return std::nullopt;
    const double scaled = value * std::pow(10.0, decimals);
    if (scaled > static_cast<double>(limit) + 0.5)
        return std::nullopt;
    return static_cast<int64_t>(std::llround(scaled));
}

std::string formatMoney(Grosze v) {
    char buf[40];
    const Grosze a = v < 0 ? -v : v;
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", v < 0 ? "-" : "", static_cast<long long>(a / 100),
                  static_cast<long long>(a % 100));
    return buf;
}

std::string formatQuantity(int64_t milli) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%lld.%03lld", static_cast<long long>(milli / 1000),
                  static_cast<long long>(milli % 1000));
    std::string s = buf;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}

std::string formatRate(int64_t micro, bool commaAnswer) {
    char buf[40];
    if (commaAnswer)
        std::snprintf(buf, sizeof buf, "%07lld,%06lld", static_cast<long long>(micro / 1000000),
                      static_cast<long long>(micro % 1000000));
    else
        std::snprintf(buf, sizeof buf, "%lld.%06lld", static_cast<long long>(micro / 1000000),
                      static_cast<long long>(micro % 1000000));
    return buf;
}

std::string formatRatePercent(int r) {
    char buf[24];
    if (r % 100 == 0)
        std::snprintf(buf, sizeof buf, "%d%%", r / 100);
    else
        std::snprintf(buf, sizeof buf, "%d.%02d%%", r / 100, r % 100);
    std::string s = buf;
    if (r % 100 != 0 && r % 10 == 0)
        s.erase(s.size() - 2, 1);
    return s;
}

static bool allDigits(const std::string& s, size_t n) {
    return s.size() == n && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool validNip(const std::string& d) {
    if (!allDigits(d, 10))
        return false;
    static const int w[9] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (d[i] - '0') * w[i];
    const int check = sum % 11;
    return check != 10 && check == d[9] - '0';
}

bool validPesel(const std::string& d) {
    if (!allDigits(d, 11))
        return false;
    static const int w[10] = {1, 3, 7, 9, 1, 3, 7, 9, 1, 3};
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += (d[i] - '0') * w[i];
    return (10 - sum % 10) % 10 == d[10] - '0';
}

} // namespace vp
