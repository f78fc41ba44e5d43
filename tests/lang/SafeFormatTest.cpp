// The safe formatter for localised format texts.
#include "app/LocaleLibrary.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

QString fmt(const char* format, const QList<QVariant>& args = {}) {
    return SafeFormat(QString::fromUtf8(format), args);
}

TEST(SafeFormat, SubstitutesArgumentsInOrder) {
    EXPECT_EQ(fmt("Odpowiedź na polecenie: %s", {QStringLiteral("40")}),
              QString::fromUtf8("Odpowiedź na polecenie: 40"));
    EXPECT_EQ(fmt("od %s do %s", {QStringLiteral("0"), QStringLiteral("999999.99")}),
              QStringLiteral("od 0 do 999999.99"));
    EXPECT_EQ(fmt("Wartość %d", {3}), QString::fromUtf8("Wartość 3"));
    EXPECT_EQ(fmt("%i|%ld|%hd", {1, 2, 3}), QStringLiteral("1|2|3"));
    EXPECT_EQ(fmt("100%% %s", {QStringLiteral("ok")}), QStringLiteral("100% ok"));
}

TEST(SafeFormat, MissingArgumentsAreEmptyAndSurplusOnesIgnored) {
    EXPECT_EQ(fmt("[%s][%d][%5s]"), QStringLiteral("[][][]"));
    EXPECT_EQ(fmt("[%s][%s]", {QStringLiteral("a")}), QStringLiteral("[a][]"));
    EXPECT_EQ(fmt("[%s]", {QStringLiteral("a"), QStringLiteral("b"), 7}), QStringLiteral("[a]"));
    EXPECT_EQ(fmt("no placeholders", {1, 2}), QStringLiteral("no placeholders"));
    EXPECT_EQ(fmt(""), QString());
}

TEST(SafeFormat, MalformedAndUnknownDirectivesStayLiteral) {
    EXPECT_EQ(fmt("%n %x %p %f", {1, 2}), QStringLiteral("%n %x %p %f"));
    EXPECT_EQ(fmt("trailing %"), QStringLiteral("trailing %"));
    EXPECT_EQ(fmt("%-5", {1}), QStringLiteral("%-5"));
    EXPECT_EQ(fmt("%*d", {5, 1}), QStringLiteral("%*d"));
    EXPECT_EQ(fmt("%lld|%hhd", {1, 2}), QStringLiteral("1|2"));
    EXPECT_EQ(fmt("%llld", {1}), QStringLiteral("%llld"));
    // An unknown directive consumes no argument.
    EXPECT_EQ(fmt("%x %s", {QStringLiteral("a")}), QStringLiteral("%x a"));
}

TEST(SafeFormat, HugeWidthOrPrecisionIsNotHonoured) {
    EXPECT_EQ(fmt("%999999999s", {QStringLiteral("a")}), QStringLiteral("%999999999s"));
    EXPECT_EQ(fmt("%.99999999999999999999d", {1}), QStringLiteral("%.99999999999999999999d"));
    EXPECT_EQ(fmt("%1024s", {QString()}).size(), 1024);
    EXPECT_EQ(fmt("%1025s", {QString()}), QStringLiteral("%1025s"));
}

TEST(SafeFormat, WidthFlagsAndPrecisionFollowPrintf) {
    EXPECT_EQ(fmt("%.2d", {3}), QStringLiteral("03")); // tax group code
    EXPECT_EQ(fmt("%.2d", {12}), QStringLiteral("12"));
    EXPECT_EQ(fmt("[%5s][%-5s]", {QStringLiteral("ab"), QStringLiteral("ab")}),
              QStringLiteral("[   ab][ab   ]"));
    EXPECT_EQ(fmt("[%.2s]", {QStringLiteral("abcdef")}), QStringLiteral("[ab]"));
    EXPECT_EQ(fmt("[%05d][%-5d][%+d][% d]", {-42, 7, 7, 7}), QStringLiteral("[-0042][7    ][+7][ 7]"));
    EXPECT_EQ(fmt("[%5.3d]", {7}), QStringLiteral("[  007]"));
    EXPECT_EQ(fmt("[%.0d]", {0}), QStringLiteral("[]"));
    EXPECT_EQ(fmt("%d", {LLONG_MIN}), QStringLiteral("-9223372036854775808"));
}

TEST(SafeFormat, ArgumentsOfTheOtherKindStillGiveText) {
    EXPECT_EQ(fmt("%s", {3}), QStringLiteral("3"));
    EXPECT_EQ(fmt("%d", {QStringLiteral("12")}), QStringLiteral("12"));
    EXPECT_EQ(fmt("%d", {QStringLiteral("J")}), QStringLiteral("J"));
    EXPECT_EQ(fmt("%s", {QVariant()}), QString());
}

} // namespace
