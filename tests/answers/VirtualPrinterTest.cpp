// End to end against the virtual printer: the status pages and the tax-rate
// upload filled from its answers.

#include "RecordingMessages.h"
#include "TestWindow.h"
#include "answers/DataFiles.h"
#include "answers/FiscalReportPage.h"
#include "app/Main.h"
#include "device/QLibraryDevice.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {
struct OnVirtualPrinter : ::testing::Test {
    QTemporaryDir home, work;
    QString oldDir = QDir::currentPath();
    std::unique_ptr<dev::QLibraryDevice> user, service;
    RecordingMessages messages;
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        testApplication();
        qputenv("VPRINTER_HOME", home.path().toLocal8Bit());
        qputenv("VPRINTER_INSTANT", "1");
        QDir::setCurrent(work.path()); // the uploads land here
        user = std::make_unique<dev::QLibraryDevice>(dev::Library::User, CONSOLE_BIN_DIR);
        service = std::make_unique<dev::QLibraryDevice>(dev::Library::Service, CONSOLE_BIN_DIR);
        TMainForm::Options o;
        o.programDir = work.path();
        o.languageDir = QStringLiteral(CONSOLE_BIN_DIR);
        form = std::make_unique<TMainForm>(dev::DeviceSet{user.get(), service.get()}, messages, o);
        messages.clear();
    }
    void TearDown() override {
        form->FormClose();
        form.reset();
        QDir::setCurrent(oldDir);
    }
    void click(const char* name) {
        auto* b = form->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    QString label(const char* name) { return form->findChild<QLabel*>(QString::fromLatin1(name))->text(); }
};
} // namespace

TEST_F(OnVirtualPrinter, StatusPagesAreFilledFromItsAnswers) {
    click("bbtnChkHw");
    ASSERT_TRUE(messages.boxes.empty()) << messages.last()->text.toStdString();
    EXPECT_EQ(form->currentPage(), 12);
    EXPECT_FALSE(label("lbIDFmt").isEmpty());
    EXPECT_FALSE(label("lbLastZNo").isEmpty());
    EXPECT_TRUE(label("lbBatVol").endsWith('V'));
    click("bbtnChkSw");
    EXPECT_EQ(form->currentPage(), 13);
    EXPECT_EQ(label("lbCurDate").size(), 10);
    EXPECT_EQ(label("lbCurTime").size(), 8);
    click("bbtnChkPrn");
    EXPECT_EQ(form->currentPage(), 14);
    EXPECT_TRUE(form->findChild<QAbstractButton*>("rbPrinterStatus1")->isChecked());
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(OnVirtualPrinter, TaxRateUploadShowsTheRates) {
    click("bbtnUploadTaxRate");
    ASSERT_TRUE(messages.boxes.empty()) << messages.last()->text.toStdString();
    EXPECT_EQ(form->currentPage(), 28);
    EXPECT_EQ(label("lbRate1").size(), 4 + (label("lbRate1") == "PTU ZW" ? 2 : 0));
}
