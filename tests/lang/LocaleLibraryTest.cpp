// The locale object: loading, fetching and unloading the language library.
#include "app/LocaleLibrary.h"

#include <QLibrary>

#include <gtest/gtest.h>

namespace {

const QString kTestDir = QStringLiteral(GLOSK_TEST_DIR);
const QString kConsoleDir = QStringLiteral(GLOSK_DIR);

TEST(LocaleLibrary, StartsUnloadedAndGivesEmptyTexts) {
    TLocaleLibrary locale;
    EXPECT_FALSE(locale.IsLoaded());
    EXPECT_TRUE(locale.GetString(11014).isEmpty());
    EXPECT_TRUE(locale.FileName().isEmpty());
    EXPECT_TRUE(LocaleString(nullptr, 11014).isEmpty());
    EXPECT_TRUE(LocaleString(&locale, 11014).isEmpty());
}

TEST(LocaleLibrary, LoadsByBareNameFromTheGivenDirectory) {
    TLocaleLibrary locale;
    ASSERT_TRUE(locale.Load(QStringLiteral("GloskTest"), kTestDir));
    EXPECT_TRUE(locale.IsLoaded());
    EXPECT_EQ(locale.GetString(11014), QString::fromUtf8("Sprzedaż"));
    EXPECT_EQ(LocaleString(&locale, 11372), QStringLiteral("A"));
    EXPECT_TRUE(locale.GetString(11015).isEmpty()); // missing id
    EXPECT_TRUE(locale.GetString(80000).isEmpty()); // empty text
    EXPECT_TRUE(locale.GetString(-1).isEmpty());
}

TEST(LocaleLibrary, AcceptsTheWindowsNameOfTheLibrary) {
    TLocaleLibrary locale;
    EXPECT_TRUE(locale.Load(QStringLiteral("Glosk.dll"), kConsoleDir));
    EXPECT_FALSE(locale.GetString(10500).isEmpty());
}

TEST(LocaleLibrary, RefusesWhatIsNoLanguageLibrary) {
    TLocaleLibrary locale;
    EXPECT_FALSE(locale.Load(QStringLiteral("NotGlosk"), kTestDir)); // loads, but no GloskGetString
    EXPECT_FALSE(locale.IsLoaded());
    EXPECT_FALSE(locale.Load(QStringLiteral("NoSuchLibrary"), kTestDir));
    EXPECT_FALSE(locale.Load(QString(), kTestDir));
    EXPECT_FALSE(locale.IsLoaded());
    EXPECT_TRUE(locale.GetString(11014).isEmpty());
}

TEST(LocaleLibrary, FailedLoadDropsThePreviousLibrary) {
    TLocaleLibrary locale;
    ASSERT_TRUE(locale.Load(QStringLiteral("GloskTest"), kTestDir));
    EXPECT_FALSE(locale.Load(QStringLiteral("NoSuchLibrary"), kTestDir));
    EXPECT_FALSE(locale.IsLoaded());
    EXPECT_TRUE(locale.GetString(11014).isEmpty());
}

TEST(LocaleLibrary, ReloadSwitchesLibraries) {
    TLocaleLibrary locale;
    ASSERT_TRUE(locale.Load(QStringLiteral("GloskTest"), kTestDir));
    const QString testText = locale.GetString(10500);
    ASSERT_TRUE(locale.Load(QStringLiteral("Glosk"), kConsoleDir));
    EXPECT_NE(locale.GetString(10500), testText);
    EXPECT_TRUE(locale.FileName().contains(QStringLiteral("Glosk")));
}

TEST(LocaleLibrary, UnloadClearsTheFlagAndTheStrings) {
    TLocaleLibrary locale;
    ASSERT_TRUE(locale.Load(QStringLiteral("GloskTest"), kTestDir));
    locale.Unload();
    EXPECT_FALSE(locale.IsLoaded());
    EXPECT_TRUE(locale.GetString(11014).isEmpty());
    locale.Unload(); // harmless twice
}

TEST(LocaleLibrary, DestroyingTheObjectKeepsTheLibraryInMemory) {
    QString fileName;
    {
        TLocaleLibrary locale;
        ASSERT_TRUE(locale.Load(QStringLiteral("GloskTest"), kTestDir));
        fileName = locale.FileName();
    }
    // Still mapped: a load without any file search succeeds at once.
    QLibrary probe(fileName);
    EXPECT_TRUE(probe.load());
}

TEST(LocaleLibrary, LongStringsAreLimitedToTheBuffer) {
    TLocaleLibrary locale;
    ASSERT_TRUE(locale.Load(QStringLiteral("GloskTest"), kTestDir));

    const QString twoByte = locale.GetString(90001); // 1500 x "ż"
    EXPECT_EQ(twoByte.size(), TLocaleLibrary::kBufferSize - 1);
    EXPECT_EQ(twoByte, QString(TLocaleLibrary::kBufferSize - 1, QChar(0x017C)));

    const QString ascii = locale.GetString(90003); // 1100 x "x"
    EXPECT_EQ(ascii.size(), TLocaleLibrary::kBufferSize - 1);

    // Surrogate pairs only: 1023 falls inside a pair, which is dropped whole.
    const QString pairs = locale.GetString(90002);
    EXPECT_EQ(pairs.size(), TLocaleLibrary::kBufferSize - 2);
    EXPECT_TRUE(pairs.back().isLowSurrogate());
}

} // namespace
