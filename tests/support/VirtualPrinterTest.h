#pragma once
// The main window on the virtual printer's libraries, loaded by name exactly as
// at start-up, for end-to-end tests. Each test gets a printer of its own
// (VPRINTER_HOME under a temporary folder, instant timing) and works in that
// folder, where the uploads leave their ".mem" files.

#include "RecordingMessages.h"
#include "TestWindow.h"
#include "app/Main.h"
#include "device/QLibraryDevice.h"

#include <QAbstractButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class VirtualPrinterTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    template <typename T = QWidget> T* find(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name);
    // Fails the test for every message box shown since the last check.
    void expectNoBoxes(const char* step);
    // Runs a command of the catalogue through the command frame; its answer.
    QByteArray run(const protocol::Command& command, const dev::Args& args = {});

    bool withLanguage = false; // set in a subclass's constructor to load the language library
    QTemporaryDir home;        // the working folder; the printer's data are in home/printer
    QString previousDir;
    std::unique_ptr<dev::QLibraryDevice> user, service;
    RecordingMessages messages;
    std::unique_ptr<TMainForm> form;
};
