#include "device/DeviceErrors.h"

#include <gtest/gtest.h>

using dev::DeviceErrorText;

namespace {
struct ErrorTable : ::testing::Test {
    void SetUp() override { dev::deviceErrors().reset(); }
    void TearDown() override { dev::deviceErrors().reset(); }
};
} // namespace

TEST_F(ErrorTable, BuiltInTextsByStatusAndSubCode) {
    EXPECT_EQ(DeviceErrorText(-4, 1), "operation code is wrong");
    EXPECT_EQ(DeviceErrorText(-4, 95), "WRONG DATA - SALES NOT POSSIBLE -CALL SERVICE");
    EXPECT_EQ(DeviceErrorText(-4, 48), "48");
    EXPECT_EQ(DeviceErrorText(-4, 91), "format error of new Date or new time ");
    EXPECT_EQ(DeviceErrorText(-5, 1), "Printer error, printer is busy.");
    EXPECT_EQ(DeviceErrorText(-6, 3), "cannot be written to the fiscal memory");
    EXPECT_EQ(DeviceErrorText(-6, 3), DeviceErrorText(-4, 55));
    EXPECT_EQ(DeviceErrorText(-6, 7), "microprocessor ROM checksum error (software is damaged)");
    // -1, -2 and -3 ignore the sub-code; the trailing blank is part of the text.
    EXPECT_EQ(DeviceErrorText(-2, 0), "Comm Port not Opened ");
    EXPECT_EQ(DeviceErrorText(-1, 77), "Comm Port not Opened ");
    EXPECT_EQ(DeviceErrorText(-3, 5), "Time Out");
}

TEST_F(ErrorTable, OutsideTheTableIsEmpty) {
    for (auto [status, sub] : {std::pair{-4, 0},
                               {-4, 96},
                               {-5, 2},
                               {-5, 0},
                               {-6, 0},
                               {-6, 8},
                               {-7, 1},
                               {0, 1},
                               {1, 1},
                               {INT32_MIN, 1},
                               {-4, INT32_MIN},
                               {-4, INT32_MAX}})
        EXPECT_TRUE(DeviceErrorText(status, sub).isEmpty()) << status << "," << sub;
}

TEST_F(ErrorTable, LocalisationKeepsEntry57AndTheUntranslatedTail) {
    dev::deviceErrors().localise(
        [](int id) { return id == 12110 ? QString() : QStringLiteral("L%1").arg(id); });
    EXPECT_EQ(DeviceErrorText(-4, 12), "L12112");
    EXPECT_EQ(DeviceErrorText(-4, 57), "Not enough payment, receipt canceled");
    EXPECT_EQ(DeviceErrorText(-4, 89), "L12189");
    EXPECT_EQ(DeviceErrorText(-4, 92), "new currency name is same now currency name");
    EXPECT_EQ(DeviceErrorText(-4, 10), ""); // the library lacks 12110
    EXPECT_EQ(DeviceErrorText(-5, 1), "L12501");
    EXPECT_EQ(DeviceErrorText(-6, 7), "L12607");
    EXPECT_EQ(DeviceErrorText(-1, 0), "L12701");
    EXPECT_EQ(DeviceErrorText(-2, 0), "L12701");
    EXPECT_EQ(DeviceErrorText(-3, 0), "L12702");
}
