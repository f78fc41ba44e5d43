// Binding the device libraries by name, and the contract every device must keep,
// checked against the virtual printer's libraries loaded exactly as the console loads them.
#include "device/QLibraryDevice.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using dev::Arg;
using dev::Library;

TEST(LibraryBinding, AMissingLibraryNamesItselfAndTheReason) {
    QTemporaryDir empty;
    try {
        dev::QLibraryDevice d(Library::User, empty.path() + "/nowhere");
        // Only reachable if a TavoUser library is installed system-wide.
        GTEST_SKIP() << "a TavoUser library is on the system search path";
    } catch (const dev::BindError& e) {
        EXPECT_EQ(e.library, "TavoUser");
        EXPECT_TRUE(e.function.isEmpty());
        EXPECT_FALSE(e.reason.isEmpty());
        EXPECT_TRUE(e.message().contains("TavoUser"));
    }
    dev::BindError missingFunction("TavoSrv", "cmSetTaxID", "undefined symbol");
    EXPECT_TRUE(missingFunction.message().contains("cmSetTaxID"));
    EXPECT_TRUE(missingFunction.message().contains("TavoSrv"));
    EXPECT_TRUE(missingFunction.message().contains("undefined symbol"));
}

namespace {
struct VirtualPrinter : ::testing::Test {
    QTemporaryDir home;
    void SetUp() override {
        qputenv("VPRINTER_HOME", home.path().toUtf8());
        qputenv("VPRINTER_INSTANT", "1");
    }
};
} // namespace

TEST_F(VirtualPrinter, BindsEveryFunctionFromTheProgramDirectory) {
    dev::QLibraryDevice user(Library::User, CONSOLE_BIN_DIR);
    dev::QLibraryDevice service(Library::Service, CONSOLE_BIN_DIR);
    EXPECT_TRUE(user.fileName().startsWith(CONSOLE_BIN_DIR));
    // Arguments are checked against the function's declaration before any call.
    int32_t len = 0;
    EXPECT_THROW(user.command("cmXReport", {}, nullptr, &len), std::invalid_argument);
    EXPECT_THROW(user.command("cmXReport", {Arg::real(1.0)}, nullptr, &len), std::invalid_argument);
    EXPECT_THROW(user.command("cmNoSuchCommand", {}, nullptr, &len), std::invalid_argument);
    EXPECT_THROW(user.command("cmSetTaxID", {Arg::bytes("A"), Arg::bytes("B")}, nullptr, &len),
                 std::invalid_argument);
}

TEST_F(VirtualPrinter, KeepsTheDeviceContract) {
    dev::QLibraryDevice user(Library::User, CONSOLE_BIN_DIR);
    int32_t len = 0;
    // A closed link refuses with -1.
    EXPECT_EQ(user.command("cmHardwareStatus", {}, nullptr, &len).Status, -1);
    ASSERT_EQ(user.open("COM1", 9600), 0);
    EXPECT_NE(user.isCommandExecuting(), 0); // idle
    len = 0;
    user.command("cmHardwareStatus", {}, nullptr, &len);
    ASSERT_GT(len, 0);
    std::vector<char> buffer(static_cast<size_t>(len), 0);
    const int32_t sized = len;
    const CommandResult r = user.command("cmHardwareStatus", {}, buffer.data(), &len);
    EXPECT_GE(r.Status, 0);
    EXPECT_LE(len, sized);
    EXPECT_EQ(user.close(), 0);
    EXPECT_NE(user.open("COM0", 9600), 0);
}
