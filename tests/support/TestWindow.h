#pragma once
// A main window on scripted devices, with recorded message boxes and its own
// program directory, for widget tests.

#include "RecordingMessages.h"
#include "ScriptedDevice.h"
#include "app/Main.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// One QApplication for the whole test program (offscreen).
QApplication& testApplication();

struct TestWindow {
    // withLanguage: load the language library built beside the tests.
    explicit TestWindow(bool withLanguage = false, const QString& programDir = QString());
    ~TestWindow();

    template <typename T = QWidget> T* find(const QString& name) const {
        T* w = form->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << "no control named " << name.toStdString();
        return w;
    }
    // Clicks a button by name (it must exist), then lets queued events run.
    void click(const QString& buttonName);
    ConsoleContext& ctx() { return form->context(); }

    QTemporaryDir dir;
    ScriptedDevice user{"user"};
    ScriptedDevice service{"service"};
    RecordingMessages messages;
    std::unique_ptr<TMainForm> form;
};
