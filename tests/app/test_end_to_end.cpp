// The console on the virtual printer, loaded by name exactly as at start-up.
#include "RecordingMessages.h"
#include "TestWindow.h"
#include "answers/ReturnBufferModel.h"
#include "app/Main.h"
#include "device/DeviceErrors.h"
#include "device/QLibraryDevice.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
struct OnVirtualPrinter : ::testing::Test {
    QTemporaryDir home, programDir;
    std::unique_ptr<dev::QLibraryDevice> user, service;
    RecordingMessages messages;
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        testApplication();
        qputenv("VPRINTER_HOME", home.path().toUtf8());
        qputenv("VPRINTER_INSTANT", "1");
        user = std::make_unique<dev::QLibraryDevice>(dev::Library::User, CONSOLE_BIN_DIR);
        service = std::make_unique<dev::QLibraryDevice>(dev::Library::Service, CONSOLE_BIN_DIR);
        TMainForm::Options o;
        o.programDir = programDir.path();
        o.languageDir = QStringLiteral(CONSOLE_BIN_DIR);
        form = std::make_unique<TMainForm>(dev::DeviceSet{user.get(), service.get()}, messages, o);
        form->show();
    }
    void TearDown() override {
        form.reset();
        dev::deviceErrors().reset();
    }
    void click(const char* name) {
        auto* b = form->findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    int lines() const { return form->context().returnBuffer->rowCount(); }
};
} // namespace

TEST_F(OnVirtualPrinter, ReportsStatusAndTheCommandLine) {
    ASSERT_TRUE(messages.boxes.empty()) << messages.boxes.front().text.toStdString();

    click("bbtnXReport");
    EXPECT_TRUE(messages.boxes.empty()) << messages.last()->text.toStdString();
    EXPECT_GT(lines(), 2);
    EXPECT_EQ(form->currentPage(), 1);
    EXPECT_TRUE(form->context().frame.UserLinkOpen);

    click("bbtnChkHw");
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(form->currentPage(), 12); // decoded into the hardware status page

    form->showPage(0);
    auto* line = form->findChild<QLineEdit*>("Edit1");
    ASSERT_NE(line, nullptr);
    line->setText("47");
    const int before = lines();
    click("bbtnExec");
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_GT(lines(), before + 2);
    EXPECT_TRUE(form->context().returnBuffer->lineAt(before).contains("47"));
    EXPECT_EQ(form->currentPage(), 14); // "47" decodes like "Printer Status"

    click("bbtnZReport");
    EXPECT_TRUE(messages.boxes.empty()) << messages.last()->text.toStdString();
    EXPECT_EQ(form->currentPage(), 1);
}

TEST_F(OnVirtualPrinter, AClosedPortIsReportedInTheErrorBox) {
    form->findChild<QComboBox*>("PortCB")->setCurrentIndex(-1); // "COM0" does not open
    click("bbtnXReport");
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, dev::DeviceErrorText(-1, 0));
    EXPECT_FALSE(messages.boxes[0].text.isEmpty());
    EXPECT_EQ(messages.boxes[0].icon, IMessageService::Icon::Error);
    EXPECT_FALSE(form->context().frame.UserLinkOpen);
}
