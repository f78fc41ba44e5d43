// The paper roll's layout: 32 columns, amounts with a decimal comma, texts
// wrapped rather than cut.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Money.h"

namespace vp::paper {

constexpr int kWidth = 32;

std::string centre(const std::string& text);
// Left text and right text on one line; a left text too long for the line is
// wrapped onto lines of its own above the line holding the right text.
std::vector<std::string> lr(const std::string& left, const std::string& right);
// A text wrapped at blanks into lines of at most kWidth characters.
std::vector<std::string> wrap(const std::string& text);
std::string rule();

std::string amount(Grosze v);             // "1 234,56" is not used: "1234,56", "-0,05"
std::string quantity(int64_t milli);      // "2", "1,5", "0,125"
std::string ratePercent(int rate);        // "23,00%"
std::string digits(int64_t v, int width); // zero-padded, never wider than width
std::string pad(std::string s, size_t n, char c = ' ');
std::string groupTaxId(const std::string& taxId, int format); // 526-025-02-74
int width(const std::string& utf8);                           // characters, not bytes
std::string joinLines(const std::vector<std::string>& lines); // each line ends with a line feed

} // namespace vp::paper
