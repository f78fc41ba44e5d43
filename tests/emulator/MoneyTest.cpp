#include <gtest/gtest.h>

#include "Money.h"

using namespace vp;

TEST(Money, VatIsTakenOutOfTheGrossSumAndRoundedToTheGrosz) {
    EXPECT_EQ(vatFromGross(12300, 2300), 2300); // 123.00 at 23% holds 23.00
    EXPECT_EQ(vatFromGross(10000, 800), 741);   // 7.407 -> 7.41
    EXPECT_EQ(vatFromGross(297, 2300), 56);     // 0.5554 -> 0.56
    EXPECT_EQ(vatFromGross(99, 2300), 19);      // 0.1851 -> 0.19
    EXPECT_EQ(vatFromGross(1000, 0), 0);
    EXPECT_EQ(vatFromGross(1000, kInactiveRate), 0);
    EXPECT_EQ(vatFromGross(-12300, 2300), -2300);
}

TEST(Money, HalfAGroszRoundsAwayFromZero) {
    EXPECT_EQ(roundDiv(5, 10), 1);
    EXPECT_EQ(roundDiv(-5, 10), -1);
    EXPECT_EQ(roundDiv(4, 10), 0);
    EXPECT_EQ(lineValue(3000, 10), std::optional<Grosze>(30));   // 3 x 0.10
    EXPECT_EQ(lineValue(1255, 100), std::optional<Grosze>(126)); // 1.255 x 1.00 = 1.255 -> 1.26
    EXPECT_EQ(percentOf(2000, 1000), 200);                       // 10% of 20.00
    EXPECT_EQ(percentOf(995, 1000), 100);                        // 9.95 -> 1.00 (0.995 rounds up)
}

TEST(Money, ProportionalSplitAddsUpExactly) {
    const auto parts = splitProportionally(100, {1, 1, 1});
    EXPECT_EQ(parts[0] + parts[1] + parts[2], 100);
    EXPECT_EQ(parts[0], 34); // the remainder goes to the first of equal shares
    const auto weighted = splitProportionally(-1001, {3000, 0, 7000});
    EXPECT_EQ(weighted[0] + weighted[2], -1001);
    EXPECT_EQ(weighted[1], 0);
    EXPECT_EQ(splitProportionally(50, {0, 0}), (std::vector<Grosze>{0, 0}));
}

TEST(Money, ForeignAmountsConvertByDirection) {
    // 10.00 at 4.1234 (A multiplies) = 41.234 -> 41.23; B divides: 10 / 4.1234 = 2.4252 -> 2.43
    EXPECT_EQ(toSaleCurrency(1000, 4123400, 'A'), 4123);
    EXPECT_EQ(toSaleCurrency(1000, 4123400, 'B'), 243);
    EXPECT_FALSE(toSaleCurrency(1000, 0, 'A'));
    EXPECT_FALSE(toSaleCurrency(1000, 1000000, 'C'));
}

TEST(Money, DecimalTextIsStrict) {
    EXPECT_EQ(parseDecimal("12.5", 2), 1250);
    EXPECT_EQ(parseDecimal("0,125", 3), 125);
    EXPECT_EQ(parseDecimal("7", 3), 7000);
    EXPECT_FALSE(parseDecimal("1.2.3", 2));
    EXPECT_FALSE(parseDecimal("-1", 2));
    EXPECT_FALSE(parseDecimal("1e5", 2));
    EXPECT_FALSE(parseDecimal("1.234", 2));
    EXPECT_FALSE(parseDecimal("", 2));
    EXPECT_FALSE(parseDecimal(".", 2));
    EXPECT_FALSE(parseDecimal("1234567890123", 2)); // more than twelve digits
    EXPECT_FALSE(scaleDouble(-1.0, 2, 1000));
    EXPECT_FALSE(scaleDouble(0.0 / 0.0, 2, 1000));
    EXPECT_FALSE(scaleDouble(1e300, 2, 1000));
    EXPECT_EQ(scaleDouble(2.675, 2, 100000), 268); // 2.675 x 100 rounds to 267.5 in doubles
}

TEST(Money, PolishTaxNumbersAreChecked) {
    EXPECT_TRUE(validNip("5260250274"));
    EXPECT_FALSE(validNip("5260250275"));
    EXPECT_FALSE(validNip("1234567890")); // check digit would be 10
    EXPECT_FALSE(validNip("526025027"));
    EXPECT_TRUE(validPesel("44051401359"));
    EXPECT_FALSE(validPesel("44051401358"));
}

TEST(Money, Formatting) {
    EXPECT_EQ(formatMoney(1234), "12.34");
    EXPECT_EQ(formatMoney(-5), "-0.05");
    EXPECT_EQ(formatQuantity(1500), "1.5");
    EXPECT_EQ(formatQuantity(2000), "2");
    EXPECT_EQ(formatRate(4123400, true), "0000004,123400");
    EXPECT_EQ(formatRatePercent(2300), "23%");
    EXPECT_EQ(formatRatePercent(550), "5.5%");
}
