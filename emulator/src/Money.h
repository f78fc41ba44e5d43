// Integer money and the printer's arithmetic: amounts in grosze, quantities in
// thousandths, rates in hundredths of a per cent.  No floating point money.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vp {

using Grosze = int64_t;

constexpr int kInactiveRate = 9999;
constexpr Grosze kMaxAmount = 99999999999LL; // eleven digits keep a 12-digit field
constexpr int64_t kMaxQuantity = 99999999LL; // 99,999.999 units
constexpr Grosze kMaxPrice = 99999999LL;     // 999,999.99 a unit

// Division rounded half away from zero; den > 0.
int64_t roundDiv(int64_t num, int64_t den);

// VAT contained in a gross amount at a rate in hundredths of a per cent:
// gross x rate / (10000 + rate), rounded to the grosz.
Grosze vatFromGross(Grosze gross, int rateHundredths);

// Line value of quantity (thousandths) x unit price (grosze), rounded to the
// grosz; computed in 128 bits, nothing when beyond kMaxAmount or negative.
std::optional<Grosze> lineValue(int64_t quantityMilli, Grosze price);

// Value of a rate (hundredths of a per cent) of an amount, rounded to the grosz.
Grosze percentOf(Grosze amount, int rateHundredths);

// Splits `total` over `weights` in proportion, largest remainder first, so the
// parts add up to the total exactly.
std::vector<Grosze> splitProportionally(Grosze total, const std::vector<Grosze>& weights);

// Exchange: rate in millionths; direction 'A' multiplies, 'B' divides.
std::optional<Grosze> toSaleCurrency(Grosze foreign, int64_t rateMicro, char direction);

// Decimal text with at most `decimals` places ("12.5", "0,125") to a scaled
// integer; no sign, no exponent, digits only around one separator.
std::optional<int64_t> parseDecimal(const std::string& text, int decimals);
std::optional<int64_t> parseInt(const std::string& text);

// A finite non-negative double to a scaled integer (rounded half away from
// zero), refused beyond `limit`.
std::optional<int64_t> scaleDouble(double value, int decimals, int64_t limit);

std::string formatMoney(Grosze value);                   // "12.34", "-0.05"
std::string formatQuantity(int64_t milli);               // "2", "1.5", "0.125"
std::string formatRate(int64_t micro, bool commaAnswer); // "4.123400"
std::string formatRatePercent(int rateHundredths);       // "23%", "5.5%"

// Polish tax numbers.
bool validNip(const std::string& digits);
bool validPesel(const std::string& digits);

} // namespace vp
