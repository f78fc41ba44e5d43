#include "ScriptedDevice.h"
#include "device/CommandFrame.h"

#include <gtest/gtest.h>

using dev::Arg;
using dev::Library;

namespace {

struct Frame : ::testing::Test {
    ScriptedDevice user{"user"}, service{"service"};
    QByteArray port = "COM1";
    std::vector<CommandResult> errors;
    std::vector<std::pair<QString, QByteArray>> shown;
    dev::CommandFrame frame{dev::DeviceSet{&user, &service},
                            {[this] { return port; }, [this](const CommandResult& r) { errors.push_back(r); },
                             [this](const QString& c, const QByteArray& a) { shown.emplace_back(c, a); }}};

    std::optional<QByteArray> x(Library lib = Library::User) {
        return frame.run(lib == Library::User ? protocol::cmd::cmXReport : protocol::cmd::cmSetID, [lib] {
            return lib == Library::User ? dev::Args{Arg::integer(1)}
                                        : dev::Args{Arg::bytes("AB"), Arg::bytes("12345678")};
        });
    }
};

} // namespace

TEST_F(Frame, LinksOpenLazilyOnceAndSwitchBetweenLibraries) {
    x();
    x();
    EXPECT_EQ(user.count("OpenTavo"), 1);
    EXPECT_TRUE(frame.UserLinkOpen);
    ASSERT_EQ(user.calls.front().args[0], Arg::bytes("COM1"));
    EXPECT_EQ(user.calls.front().args[1], Arg::integer(9600));

    x(Library::Service); // a service command closes the user link first
    EXPECT_FALSE(frame.UserLinkOpen);
    EXPECT_TRUE(frame.ServiceLinkOpen);
    EXPECT_EQ(user.functions().back(), "CloseTavo");

    x(); // and back: the service link is closed before the user link opens
    EXPECT_EQ(service.functions().back(), "CloseTavo");
    EXPECT_EQ(user.count("OpenTavo"), 2);
    EXPECT_FALSE(frame.ServiceLinkOpen);
}

TEST_F(Frame, PortChangeReopensOnTheNewPort) {
    port = "COM3";
    x();
    frame.CloseLink(Library::User);
    frame.CloseLink(Library::Service); // not open: nothing is called
    EXPECT_EQ(service.calls.size(), 0u);
    port = "COM5";
    x();
    auto opens =
        std::count_if(user.calls.begin(), user.calls.end(), [](auto& c) { return c.function == "OpenTavo"; });
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(user.calls[0].args[0], Arg::bytes("COM3"));
    const auto reopen = std::find_if(user.calls.begin() + 1, user.calls.end(),
                                     [](auto& c) { return c.function == "OpenTavo"; });
    EXPECT_EQ(reopen->args[0], Arg::bytes("COM5"));
}

TEST_F(Frame, FailedOpenStillSendsAndFailedCloseKeepsTheLink) {
    user.openResult = 1;
    user.reply("cmXReport", -1);
    EXPECT_FALSE(x().has_value());
    EXPECT_FALSE(frame.UserLinkOpen);
    EXPECT_EQ(user.count("cmXReport"), 1); // sent anyway; the closed port answers -1
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Status, -1);

    user.openResult = 0;
    x();
    EXPECT_TRUE(frame.UserLinkOpen);
    user.closeResult = 5;
    frame.CloseLink(Library::User);
    EXPECT_TRUE(frame.UserLinkOpen); // counted as open; the next close tries again
    user.closeResult = 0;
    frame.CloseLink(Library::User);
    EXPECT_FALSE(frame.UserLinkOpen);
}

TEST_F(Frame, TwoCallSizingAndTheAnswerShown) {
    user.reply("cmXReport", 0, 0, QByteArray("P0\0", 3));
    auto answer = x();
    ASSERT_TRUE(answer.has_value());
    auto calls = user.commands(true);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[0].sizing);
    EXPECT_EQ(calls[0].lengthIn, 0);
    EXPECT_FALSE(calls[1].sizing);
    EXPECT_EQ(calls[1].lengthIn, 3);
    EXPECT_EQ(calls[0].args, calls[1].args);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].second, QByteArray("P0\0", 3));
    EXPECT_TRUE(errors.empty());
}

TEST_F(Frame, StatusZeroAndPositiveAreSuccessNegativeIsRefusal) {
    user.reply("cmXReport", 0);
    EXPECT_TRUE(x().has_value());
    user.reply("cmXReport", 7);
    EXPECT_TRUE(x().has_value());
    user.reply("cmXReport", -4, 20);
    EXPECT_FALSE(x().has_value());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].SubCode, 20);
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(Frame, ArgumentsAreReadAgainForTheSecondCall) {
    int reads = 0;
    frame.run(protocol::cmd::cmSRAMDump, [&] { return dev::Args{Arg::integer(++reads)}; });
    auto calls = user.commands(true);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args[0], Arg::integer(1));
    EXPECT_EQ(calls[1].args[0], Arg::integer(2));
}

TEST_F(Frame, AnExceptionWhileReadingFieldsEndsTheCommand) {
    int reads = 0;
    auto args = [&]() -> dev::Args {
        if (++reads == 2)
            throw std::invalid_argument("'x' is not a valid floating point value");
        return {Arg::real(1.0)};
    };
    EXPECT_THROW(frame.run(protocol::cmd::cmReceiveCash, args), std::invalid_argument);
    EXPECT_EQ(user.count("cmReceiveCash"), 0); // only the sizing call went out
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(Frame, AnswerLengthNeverExceedsTheBuffer) {
    // A library that reports more bytes than it was given cannot make us read past the buffer.
    struct Liar : ScriptedDevice {
        CommandResult command(const std::string& f, const dev::Args& a, char* b, int32_t* len) override {
            if (!b) {
                *len = 4;
                return dev::makeResult(0);
            }
            std::memcpy(b, "ABCD", 4);
            *len = 1000;
            return dev::makeResult(0);
        }
    } liar;
    dev::CommandFrame f{dev::DeviceSet{&liar, &service},
                        {[] { return QByteArray("COM1"); }, [](const CommandResult&) {},
                         [this](const QString& c, const QByteArray& a) { shown.emplace_back(c, a); }}};
    auto answer = f.run(protocol::cmd::cmHardwareStatus, [] { return dev::Args{}; });
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, "ABCD");
}

TEST_F(Frame, TheCatalogueEntryNamesTheFunctionTheLibraryAndTheCode) {
    user.reply("cmHardwareStatus", 0, 0, "O0");
    ASSERT_TRUE(frame.run(protocol::cmd::cmHardwareStatus, [] { return dev::Args{}; }));
    EXPECT_EQ(user.count("cmHardwareStatus"), 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.back().first, "40");

    // A service command goes to the service library.
    ASSERT_TRUE(frame.run(protocol::cmd::cmSRAMErase, [] {
        return dev::Args{Arg::integer(1), Arg::integer(1), Arg::integer(26),
                         Arg::integer(0), Arg::integer(0), Arg::integer(0)};
    }));
    EXPECT_EQ(service.count("cmSRAMErase"), 1);
    EXPECT_EQ(user.count("cmSRAMErase"), 0);
    EXPECT_EQ(shown.back().first, "43");

    // Without its code: the heading names none.
    ASSERT_TRUE(
        frame.run(protocol::cmd::cmXReport, [] { return dev::Args{Arg::integer(1)}; }, {.showCode = false}));
    EXPECT_EQ(shown.back().first, "");

    // On a library of the caller's choosing.
    ASSERT_TRUE(
        frame.run(Library::Service, protocol::cmd::cmXReport, [] { return dev::Args{Arg::integer(1)}; }));
    EXPECT_EQ(service.count("cmXReport"), 1);
    EXPECT_EQ(shown.back().first, "60");
}

TEST_F(Frame, CommandLineUsesOneCallSizedByTheCode) {
    user.reply("ExecCommand", 0, 0, "O0xyz");
    auto answer = frame.runCommandLine("40");
    ASSERT_TRUE(answer);
    EXPECT_EQ(user.count("ExecCommand"), 1);
    auto it = std::find_if(user.calls.begin(), user.calls.end(),
                           [](auto& c) { return c.function == "GetReturnBufLength"; });
    ASSERT_NE(it, user.calls.end());
    EXPECT_EQ(it->args[0], Arg::bytes("40"));
    EXPECT_EQ(shown.back().first, "40");
}
