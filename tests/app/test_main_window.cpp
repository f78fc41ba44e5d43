#include "TestWindow.h"
#include "app/CommandMenuPage.h"
#include "core/Page.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>

TEST(MainWindow, NotebookHoldsTheThirtyNinePagesInOrder) {
    TestWindow w;
    const char* names[] = {
        "CommandLine",    "Command",    "SetDate",   "SetTime",      "SetVarRate",      "SetHeadMessage",
        "ReceiveAccount", "PaidOut",    "Sale",      "Pay",          "SetDep",          "MemReport",
        "HStatus",        "SStatus",    "PrnStatus", "DumpSram",     "DumpEprom",       "Invoice",
        "SetID",          "EndReceipt", "XReport",   "InvInfo",      "SetTaxID",        "SeviceLogon",
        "RtnPackage",     "ClerkLogon", "PLUInfo",   "Upload",       "TaxRateUpload",   "PrinterSpeed",
        "RtnPkg",         "PrnRpt",     "UpRtnPkg",  "SetParameter", "SetCurrencyName", "Fiscal Reprt",
        "ECR number set", "ECR Reset",  "ReadOnlyRP"};
    auto* notebook = w.find<QStackedWidget>("Notebook1");
    ASSERT_EQ(notebook->count(), 39);
    for (int i = 0; i < 39; ++i)
        EXPECT_EQ(w.form->page(static_cast<PageId>(i))->pageName(), names[i]) << i;
    EXPECT_EQ(w.form->currentPage(), PageId::Menu); // the menu after start-up
    EXPECT_EQ(w.form->windowTitle(), "Demo");
    EXPECT_EQ(w.form->size(), QSize(804, 486));
}

TEST(MainWindow, MenuButtonsStandOnTheGrid) {
    TestWindow w;
    auto* xReport = w.find<QPushButton>("bbtnXReport");
    EXPECT_EQ(xReport->geometry(), QRect(5, 122, 135, 25));
    EXPECT_EQ(xReport->text(), "X Report");
    EXPECT_EQ(w.find<QPushButton>("Button2")->geometry().topLeft(), QPoint(609, 93));
    EXPECT_EQ(w.find<QPushButton>("bbtnPaidOut")->text(), "Paid  Out");
    EXPECT_FALSE(w.find<QPushButton>("bbtnSetId")->isVisibleTo(w.form.get()));
    EXPECT_FALSE(w.find<QPushButton>("bbtnCommLine")->isVisibleTo(w.form.get()));
    EXPECT_FALSE(w.find<QPushButton>("btnOnline")->isVisibleTo(w.form.get()));
    EXPECT_FALSE(w.find<QWidget>("pnlProgress")->isVisibleTo(w.form.get()));
}

TEST(MainWindow, WithoutTheLanguageLibraryTheDefaultsStand) {
    TestWindow w;
    ASSERT_FALSE(w.messages.boxes.empty());
    EXPECT_EQ(w.messages.boxes.front().text, "Can not load Glosk.dll");
    EXPECT_EQ(w.messages.boxes.front().caption, "Error");
    EXPECT_EQ(w.ctx().locale, nullptr);
    EXPECT_EQ(w.ctx().texts.errorCaption, "Error");
    EXPECT_TRUE(w.ctx().LocaleString(11363).isEmpty());
}

TEST(MainWindow, WithTheLanguageLibraryCaptionsAreReplaced) {
    TestWindow w(true);
    EXPECT_TRUE(w.messages.boxes.empty());
    EXPECT_EQ(w.form->windowTitle(), "PROGRAM SERWISOWY DRUKARKI FISKALNEJ Vardo Kuma V1.142");
    EXPECT_EQ(w.find<QPushButton>("bbtnXReport")->text(), w.ctx().LocaleString(11010));
    EXPECT_FALSE(w.find<QPushButton>("bbtnXReport")->text().isEmpty());
}

TEST(MainWindow, CtrlAltF8AndF9ToggleTheHiddenButtons) {
    TestWindow w;
    w.form->show();
    auto* update = w.find<QPushButton>("UpdateProgramBtn");
    auto* full = w.find<QPushButton>("btnUpdateFullProgram");
    auto* setId = w.find<QPushButton>("bbtnSetId");
    QWidget* target = w.find<QWidget>("PortCB");
    QTest::keyClick(target, Qt::Key_F8, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(update->isVisible());
    EXPECT_TRUE(full->isVisible());
    QTest::keyClick(w.form.get(), Qt::Key_F8, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(update->isVisible());
    EXPECT_FALSE(full->isVisible());
    QTest::keyClick(target, Qt::Key_F8, Qt::ControlModifier); // Ctrl alone does nothing
    EXPECT_FALSE(update->isVisible());
    QTest::keyClick(target, Qt::Key_F9, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(setId->isVisible());
    EXPECT_FALSE(update->isVisible());

    // On another page than the menu the buttons cannot be seen, yet each press
    // still turns the state over: shown again on return only after an even count.
    w.form->showPage(PageId::Sale);
    for (int presses = 1; presses <= 4; ++presses) {
        QTest::keyClick(target, Qt::Key_F9, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(target, Qt::Key_F8, Qt::ControlModifier | Qt::AltModifier);
        EXPECT_EQ(setId->isHidden(), presses % 2 == 1) << presses;
        EXPECT_EQ(update->isHidden(), presses % 2 == 0) << presses;
        EXPECT_EQ(full->isHidden(), presses % 2 == 0) << presses;
    }
    w.form->showPage(PageId::Menu);
    EXPECT_TRUE(setId->isVisible());
}

TEST(MainWindow, TitlesCarryNoApplicationName) {
    // A display name would be appended by the platform to every title ("Error — Demo").
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    TestWindow w;
    EXPECT_EQ(w.form->windowTitle(), "Demo");
    EXPECT_EQ(w.ctx().applicationTitle(), "Demo");
    w.ctx().infoBox(QStringLiteral("text"));
    EXPECT_EQ(w.messages.last()->caption, "Demo");
}

TEST(MainWindow, StartsCentredAndTheReturnBufferFillsTheWindow) {
    TestWindow w;
    w.form->show();
    QCoreApplication::processEvents();
    const QRect screen = w.form->screen()->availableGeometry();
    // Centred (with its frame) on the available area; a window wider than the
    // test screen (800 pixels offscreen) is kept on it, so only its height counts there.
    const auto offCentre = [&] {
        const QRect frame = w.form->windowHandle()->frameGeometry();
        const QPoint d = frame.center() - screen.center();
        return std::max(frame.width() <= screen.width() ? std::abs(d.x()) : 0, std::abs(d.y()));
    };
    for (int i = 0; i < 100 && offCentre() > 1; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_LE(offCentre(), 1);

    auto* group = w.find<QWidget>("GroupBox3");
    auto* list = w.find<QWidget>("ListBox1");
    auto* notebook = w.find<QWidget>("Notebook1");
    const QSize groupBefore = group->size(), listBefore = list->size();
    EXPECT_EQ(groupBefore.width(), 804);
    EXPECT_EQ(listBefore.width(), 804 - 12);
    for (const QSize size : {QSize(1004, 636), QSize(804, 486), QSize(1280, 800)}) {
        w.form->resize(size);
        QCoreApplication::processEvents();
        const QSize grown = size - QSize(804, 486);
        EXPECT_EQ(group->size(), groupBefore + grown) << size.width();
        EXPECT_EQ(list->size(), listBefore + grown) << size.width();
        EXPECT_EQ(notebook->size(), QSize(size.width(), 288));
        // The group ends where the status bar starts.
        EXPECT_EQ(group->mapTo(w.form.get(), QPoint(0, group->height())).y(),
                  w.find<QWidget>("StatusBar1")->geometry().top());
    }
}

TEST(MainWindow, ResizeMovesTheLogoAndTheModelLabel) {
    TestWindow w;
    w.form->show();
    auto* logo = w.find<QLabel>("Image1");
    auto* model = w.find<QLabel>("Label118");
    EXPECT_EQ(logo->x(), w.form->width() - 70 - 30);
    EXPECT_EQ(model->x(), logo->x() - model->width() - 10);
    const int before = logo->x();
    w.form->resize(w.form->width() + 100, w.form->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(logo->x(), before + 100);
    EXPECT_EQ(model->x(), logo->x() - model->width() - 10);
}

TEST(MainWindow, AutoAdvanceMovesOnWhenTheBoxIsFull) {
    TestWindow w;
    auto* page = w.form->page(PageId::Invoice); // an empty page to build on
    auto* edit = new QLineEdit(page);
    edit->setMaxLength(4);
    auto* next = new QLineEdit(page);
    auto* unlimited = new QLineEdit(page);
    auto* spin = new QSpinBox(page);
    spin->setRange(0, 9);
    QWidget::setTabOrder(edit, next);
    QWidget::setTabOrder(next, unlimited);
    QWidget::setTabOrder(unlimited, spin);
    w.form->installAutoAdvance(); // as at start-up; boxes that have it are left alone
    w.form->show();
    w.form->showPage(PageId::Invoice);
    QApplication::setActiveWindow(w.form.get());

    edit->setFocus();
    QTest::keyClicks(edit, "    "); // four blanks do not count
    EXPECT_TRUE(edit->hasFocus());
    edit->clear();
    QTest::keyClicks(edit, "12");
    EXPECT_TRUE(edit->hasFocus());
    QTest::keyClicks(edit, "34");
    EXPECT_TRUE(next->hasFocus());

    unlimited->setFocus();
    QTest::keyClicks(unlimited, "123456789012");
    EXPECT_TRUE(unlimited->hasFocus()); // no maximum: never advances
}

TEST(MainWindow, PortChangeClosesBothLinks) {
    TestWindow w;
    w.ctx().frame.EnsureLinkOpen(dev::Library::Service);
    w.click("btnOnline");
    EXPECT_TRUE(w.ctx().frame.UserLinkOpen);
    EXPECT_FALSE(w.ctx().frame.ServiceLinkOpen);
    w.find<QComboBox>("PortCB")->setCurrentIndex(4);
    EXPECT_FALSE(w.ctx().frame.UserLinkOpen);
    EXPECT_EQ(w.user.functions().back(), "CloseTavo");
    w.click("btnOnline");
    EXPECT_EQ(w.user.calls.back().args[0], dev::Arg::bytes("COM5"));
    w.click("btnOffline");
    EXPECT_FALSE(w.ctx().frame.UserLinkOpen);
}

TEST(MainWindow, CloseWhileBusyAsksAndAbortsOnYes) {
    TestWindow w;
    w.form->show();
    w.user.executing = 0; // a command is under way
    w.messages.answers = {false};
    EXPECT_FALSE(w.form->close());
    EXPECT_TRUE(w.form->isVisible());
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_EQ(w.messages.last()->text, "Command is executing, exit now?");
    EXPECT_TRUE(w.messages.last()->question);
    EXPECT_EQ(w.user.count("AbortTavo"), 0);
    EXPECT_FALSE(w.form->timer()->isActive());

    w.messages.answers = {true};
    EXPECT_FALSE(w.form->close());
    EXPECT_EQ(w.user.count("AbortTavo"), 1);
    EXPECT_TRUE(w.form->timer()->isActive());
    EXPECT_EQ(w.form->timer()->interval(), 100);

    // The library becomes idle: the next tick closes the window, links closed in order.
    w.ctx().frame.EnsureLinkOpen(dev::Library::User);
    w.user.executing = 1;
    const auto asked = w.messages.boxes.size();
    QTRY_VERIFY_WITH_TIMEOUT(!w.form->isVisible(), 2000);
    EXPECT_EQ(w.messages.boxes.size(), asked);
    EXPECT_EQ(w.user.functions().back(), "CloseTavo");
}
