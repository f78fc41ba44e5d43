#include "TestWindow.h"
#include "app/Application.h"
#include "app/SystemConfig.h"

#include <QComboBox>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
int storedPort(const QString& dir) {
    return QSettings(SystemConfig::filePath(dir), QSettings::IniFormat).value("Comm/Port", -99).toInt();
}
} // namespace

TEST(SystemConfigFile, FirstStartChoosesCom1AndClosingWritesZero) {
    QTemporaryDir dir;
    {
        TestWindow w(false, dir.path());
        EXPECT_EQ(w.find<QComboBox>("PortCB")->currentText(), "COM1");
        EXPECT_FALSE(QFile::exists(SystemConfig::filePath(dir.path())));
    }
    EXPECT_EQ(storedPort(dir.path()), 0);
}

TEST(SystemConfigFile, Com12RoundTrips) {
    QTemporaryDir dir;
    {
        TestWindow w(false, dir.path());
        w.find<QComboBox>("PortCB")->setCurrentIndex(11);
    }
    EXPECT_EQ(storedPort(dir.path()), 11);
    TestWindow again(false, dir.path());
    EXPECT_EQ(again.find<QComboBox>("PortCB")->currentText(), "COM12");
}

TEST(SystemConfigFile, OutOfRangePortChoosesNoneAndWritesMinusOne) {
    QTemporaryDir dir;
    writeFile(SystemConfig::filePath(dir.path()), "[Comm]\nPort=15\n");
    {
        TestWindow w(false, dir.path());
        EXPECT_EQ(w.find<QComboBox>("PortCB")->currentIndex(), -1);
        w.click("bbtnXReport");
        ASSERT_FALSE(w.user.calls.empty());
        EXPECT_EQ(w.user.calls.front().function, "OpenTavo");
        EXPECT_EQ(w.user.calls.front().args[0], dev::Arg::bytes("COM0"));
    }
    EXPECT_EQ(storedPort(dir.path()), -1);
}

TEST(SystemConfigFile, GarbageReadsAsCom1) {
    QTemporaryDir dir;
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 7919) & 0xff));
    writeFile(SystemConfig::filePath(dir.path()), junk);
    EXPECT_EQ(SystemConfig::readPort(dir.path()), 0);
    writeFile(SystemConfig::filePath(dir.path()), "[Comm]\nPort=seven\n");
    EXPECT_EQ(SystemConfig::readPort(dir.path()), 0);
    writeFile(SystemConfig::filePath(dir.path()), "[Comm]\nPort=4\n");
    EXPECT_EQ(SystemConfig::readPort(dir.path()), 4);
}

TEST(SystemConfigFile, UnwritablePlaceShowsTheMessage) {
    QTemporaryDir dir;
    const QString gone = dir.path() + "/removed";
    auto w = std::make_unique<TestWindow>(false, gone);
    RecordingMessages& messages = w->messages;
    w->form.reset();
    ASSERT_NE(messages.last(), nullptr);
    EXPECT_EQ(messages.last()->text, "Unable to write to " + SystemConfig::filePath(gone));
    EXPECT_EQ(messages.last()->icon, IMessageService::Icon::Error);
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST(SystemConfig, KeptBesideTheProgramWhenWritableElseInTheUsersConfiguration) {
    testApplication();
    QTemporaryDir program;
    EXPECT_EQ(ConfigurationDir(program.path()), program.path());
    // An installed program's folder belongs to the system.
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: every folder is writable";
    QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString chosen = ConfigurationDir(program.path());
    QFile::setPermissions(program.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_NE(chosen, program.path());
    EXPECT_TRUE(chosen.endsWith(QStringLiteral("FiscalConsole"))) << chosen.toStdString();
}

// A SYSTEM.CFG that cannot be written, beside the program: read key by key where
// the user's own file is silent, never written; the user's file wins once written.
TEST(SystemConfig, AReadOnlyFileBesideTheProgramIsReadWhereTheUsersFileIsSilent) {
    testApplication();
    QTemporaryDir program, user;
    writeFile(SystemConfig::filePath(program.path()), "[Comm]\nPort=4\n[Device]\nLibraryDir=lib\n");
    const QByteArray shipped = "[Comm]\nPort=4\n[Device]\nLibraryDir=lib\n";
    SystemConfig::readAlsoFrom(user.path(), program.path());
    EXPECT_EQ(SystemConfig::readPort(user.path()), 4);
    EXPECT_EQ(SystemConfig::readLibraryDir(user.path()), "lib");
    {
        TestWindow w(false, user.path());
        EXPECT_EQ(w.find<QComboBox>("PortCB")->currentText(), "COM5");
        w.find<QComboBox>("PortCB")->setCurrentIndex(6);
    }
    EXPECT_EQ(storedPort(user.path()), 6);
    EXPECT_EQ(SystemConfig::readPort(user.path()), 6) << "the user's choice wins";
    EXPECT_EQ(SystemConfig::readLibraryDir(user.path()), "lib") << "still from the program's file";
    QFile kept(SystemConfig::filePath(program.path()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), shipped);
    // Another folder reads only its own file.
    QTemporaryDir other;
    EXPECT_EQ(SystemConfig::readPort(other.path()), 0);

    // ConfigurationDir registers the read-only file when it keeps SYSTEM.CFG elsewhere.
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: every file is writable";
    QTemporaryDir config;
    const QByteArray savedHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QFile::setPermissions(SystemConfig::filePath(program.path()), QFileDevice::ReadOwner);
    const QString chosen = ConfigurationDir(program.path());
    QFile::setPermissions(SystemConfig::filePath(program.path()),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (savedHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedHome);
    EXPECT_TRUE(chosen.startsWith(config.path())) << chosen.toStdString();
    EXPECT_EQ(SystemConfig::readPort(chosen), 4);
}
