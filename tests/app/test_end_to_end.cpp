// The console on the virtual printer, loaded by name exactly as at start-up.
#include "VirtualPrinterTest.h"
#include "app/Main.h"
#include "core/ReturnBufferModel.h"
#include "device/DeviceErrors.h"
#include "device/QLibraryDevice.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
struct OnVirtualPrinter : VirtualPrinterTest {
    OnVirtualPrinter() { withLanguage = true; }
    int lines() const { return form->context().returnBuffer->rowCount(); }
};
} // namespace

TEST_F(OnVirtualPrinter, ReportsStatusAndTheCommandLine) {
    ASSERT_TRUE(messages.boxes.empty()) << messages.boxes.front().text.toStdString();

    click("bbtnXReport");
    EXPECT_TRUE(messages.boxes.empty()) << messages.last()->text.toStdString();
    EXPECT_GT(lines(), 2);
    EXPECT_EQ(form->currentPage(), PageId::Menu);
    EXPECT_TRUE(form->context().frame.UserLinkOpen);

    click("bbtnChkHw");
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(form->currentPage(), PageId::HStatus); // decoded into the hardware status page

    form->showPage(PageId::CommandLine);
    auto* line = form->findChild<QLineEdit*>("Edit1");
    ASSERT_NE(line, nullptr);
    line->setText("47");
    const int before = lines();
    click("bbtnExec");
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_GT(lines(), before + 2);
    EXPECT_TRUE(form->context().returnBuffer->lineAt(before).contains("47"));
    EXPECT_EQ(form->currentPage(), PageId::PrnStatus); // "47" decodes like "Printer Status"

    click("bbtnZReport");
    EXPECT_TRUE(messages.boxes.empty()) << messages.last()->text.toStdString();
    EXPECT_EQ(form->currentPage(), PageId::Menu);
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
