// End to end against the virtual printer: the status pages and the tax-rate
// upload filled from its answers.

#include "VirtualPrinterTest.h"
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
struct OnVirtualPrinter : VirtualPrinterTest {
    OnVirtualPrinter() { withLanguage = true; }
    QString label(const char* name) { return find<QLabel>(name)->text(); }
};
} // namespace

TEST_F(OnVirtualPrinter, StatusPagesAreFilledFromItsAnswers) {
    click("bbtnChkHw");
    ASSERT_TRUE(messages.boxes.empty()) << messages.last()->text.toStdString();
    EXPECT_EQ(form->currentPage(), PageId::HStatus);
    EXPECT_FALSE(label("lbIDFmt").isEmpty());
    EXPECT_FALSE(label("lbLastZNo").isEmpty());
    EXPECT_TRUE(label("lbBatVol").endsWith('V'));
    click("bbtnChkSw");
    EXPECT_EQ(form->currentPage(), PageId::SStatus);
    EXPECT_EQ(label("lbCurDate").size(), 10);
    EXPECT_EQ(label("lbCurTime").size(), 8);
    click("bbtnChkPrn");
    EXPECT_EQ(form->currentPage(), PageId::PrnStatus);
    EXPECT_TRUE(form->findChild<QAbstractButton*>("rbPrinterStatus1")->isChecked());
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(OnVirtualPrinter, TaxRateUploadShowsTheRates) {
    click("bbtnUploadTaxRate");
    ASSERT_TRUE(messages.boxes.empty()) << messages.last()->text.toStdString();
    EXPECT_EQ(form->currentPage(), PageId::TaxRateUpload);
    EXPECT_EQ(label("lbRate1").size(), 4 + (label("lbRate1") == "PTU ZW" ? 2 : 0));
}
