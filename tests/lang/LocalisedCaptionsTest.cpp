// Localised captions: the assignment table and applying it to a window.
#include "app/LocalisedCaptions.h"
#include "app/LocaleLibrary.h"
#include "device/DeviceErrors.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window with a few of the named controls, some of them nested in groups.
struct TestWindow {
    QWidget window;
    template <typename T> T* add(const char* name, QWidget* parent = nullptr) {
        auto* w = new T(parent != nullptr ? parent : &window);
        w->setObjectName(QString::fromLatin1(name));
        return w;
    }
    TestWindow() { window.setWindowTitle(QStringLiteral("Demo")); }
};

class LocalisedCaptions : public ::testing::Test {
  protected:
    void SetUp() override {
        dev::deviceErrors().reset();
        ASSERT_TRUE(testLocale.Load(QStringLiteral("GloskTest"), QStringLiteral(GLOSK_TEST_DIR)));
    }
    void TearDown() override { dev::deviceErrors().reset(); }

    TLocaleLibrary testLocale;
    LocalisedMessages messages;
};

TEST(CaptionAssignments, EveryControlTakesOneIdentifierOnly) {
    QSet<QString> seen;
    for (const CaptionAssignment& a : LocalisedCaptionAssignments()) {
        EXPECT_FALSE(a.objectNames.isEmpty()) << a.id;
        for (const QString& name : a.objectNames) {
            EXPECT_FALSE(seen.contains(name)) << name.toStdString() << " is assigned twice";
            seen.insert(name);
        }
    }
    EXPECT_EQ(seen.size(), 388 + 20);
}

TEST(CaptionAssignments, EveryIdentifierIsInTheConsolesLibrary) {
    TLocaleLibrary locale;
    ASSERT_TRUE(locale.Load(QStringLiteral("Glosk"), QStringLiteral(GLOSK_DIR)));
    for (const CaptionAssignment& a : LocalisedCaptionAssignments())
        EXPECT_FALSE(locale.GetString(a.id).isEmpty()) << a.id;
    for (int id : {11370, 11371, 11372, 11373, 11376})
        EXPECT_FALSE(locale.GetString(id).isEmpty()) << id;
}

TEST_F(LocalisedCaptions, AppliesTitleMessagesAndCaptionsByWidgetKind) {
    TestWindow w;
    auto* page = w.add<QWidget>("Sale");
    auto* back7 = w.add<QPushButton>("BackBtn7", page);
    auto* back10 = w.add<QPushButton>("Button10");
    auto* payBack = w.add<QPushButton>("btnPayBackToMain");
    auto* taxA = w.add<QLabel>("lblTaxA", page);
    auto* row = w.add<QLabel>("Label132");
    auto* rowFree = w.add<QLabel>("Label127");
    auto* group = w.add<QGroupBox>("GroupBox3");
    auto* check = w.add<QCheckBox>("ckbRam");
    auto* reportType = w.add<QGroupBox>("RadioGroup1");
    auto* item0 = w.add<QRadioButton>("RadioGroup1_0", reportType);
    auto* item1 = w.add<QRadioButton>("RadioGroup1_1", reportType);
    auto* vatHint = w.add<QLabel>("Label48");
    auto* edit = w.add<QLineEdit>("lblBarcode"); // no caption to set
    edit->setText(QStringLiteral("keep"));
    vatHint->setText(QStringLiteral("old"));

    ApplyLocalisedCaptions(&w.window, testLocale, messages);

    EXPECT_EQ(w.window.windowTitle(),
              QStringLiteral("PROGRAM SERWISOWY DRUKARKI FISKALNEJ Vardo Kuma V1.142"));
    const QString back = QString::fromUtf8("Wróć");
    EXPECT_EQ(back7->text(), back);
    EXPECT_EQ(back10->text(), back);
    EXPECT_EQ(payBack->text(), back);
    EXPECT_EQ(taxA->text(), QStringLiteral("Stawka A"));
    EXPECT_EQ(row->text(), QStringLiteral("Stawka A:"));
    EXPECT_EQ(rowFree->text(), QStringLiteral("Zwolniona:"));
    EXPECT_EQ(group->title(), QStringLiteral("Bufor"));
    EXPECT_EQ(check->text(), QString()); // 11180 missing from the library: empty
    EXPECT_EQ(item0->text(), QString::fromUtf8("Skrócony"));
    EXPECT_EQ(item1->text(), QString::fromUtf8("Pełny"));
    EXPECT_EQ(vatHint->text(), QString::fromUtf8("STAWKI VAT NALEŻY WPISYWAĆ 4 CYFRAMI NP. 2200, 0700 DLA,"));
    EXPECT_EQ(edit->text(), QStringLiteral("keep"));
    EXPECT_EQ(taxA->textFormat(), Qt::PlainText);

    EXPECT_EQ(messages.errorCaption, QString::fromUtf8("Błąd testowy"));
    EXPECT_EQ(messages.formatError, QString::fromUtf8("Zły format"));
    EXPECT_EQ(messages.sramEraseWarning, QStringLiteral("A\n\rB"));
    EXPECT_EQ(messages.confirmationCaption, QStringLiteral("Pytanie"));
}

TEST_F(LocalisedCaptions, LocalisesTheDeviceErrorTable) {
    TestWindow w;
    ApplyLocalisedCaptions(&w.window, testLocale, messages);
    EXPECT_EQ(dev::DeviceErrorText(-4, 12), QStringLiteral("Tekst 12112"));
    EXPECT_EQ(dev::DeviceErrorText(-4, 57), QStringLiteral("Not enough payment, receipt canceled"));
    EXPECT_EQ(dev::DeviceErrorText(-4, 92), QStringLiteral("new currency name is same now currency name"));
    EXPECT_EQ(dev::DeviceErrorText(-4, 1), QString()); // 12101 missing from the library
    EXPECT_EQ(dev::DeviceErrorText(-5, 1), QString::fromUtf8("zajęta"));
    EXPECT_EQ(dev::DeviceErrorText(-2, 0), QStringLiteral("port"));
}

TEST_F(LocalisedCaptions, WithoutALibraryNothingChanges) {
    TestWindow w;
    auto* back = w.add<QPushButton>("BackBtn1");
    back->setText(QStringLiteral("Back To Menu"));
    TLocaleLibrary unloaded;

    ApplyLocalisedCaptions(&w.window, unloaded, messages);
    ApplyLocalisedCaptions(&w.window, static_cast<const TLocaleLibrary*>(nullptr), messages);

    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("Demo"));
    EXPECT_EQ(back->text(), QStringLiteral("Back To Menu"));
    EXPECT_EQ(messages.errorCaption, QStringLiteral("Error"));
    EXPECT_EQ(messages.sramEraseWarning, QStringLiteral("This Operation will erase the SRAM in Printer"));
    EXPECT_EQ(dev::DeviceErrorText(-4, 12),
              QStringLiteral("in time programming message, there are some non-numeric characters"));
}

TEST_F(LocalisedCaptions, RealLibraryGivesPolishCaptions) {
    TLocaleLibrary locale;
    ASSERT_TRUE(locale.Load(QStringLiteral("Glosk"), QStringLiteral(GLOSK_DIR)));
    TestWindow w;
    auto* back = w.add<QPushButton>("BitBtn22");
    auto* zReport = w.add<QPushButton>("bbtnZReport");
    ApplyLocalisedCaptions(&w.window, locale, messages);
    EXPECT_EQ(back->text(), locale.GetString(10500));
    EXPECT_EQ(zReport->text(), QStringLiteral("Raport dobowy Z"));
    EXPECT_EQ(messages.errorCaption, QString::fromUtf8("Błąd"));
    EXPECT_EQ(dev::DeviceErrorText(-4, 57), QStringLiteral("Not enough payment, receipt canceled"));
    EXPECT_EQ(SafeFormat(locale.GetString(11363), {QStringLiteral("40")}),
              QString::fromUtf8("Odpowiedź na polecenie: 40"));
}

} // namespace
