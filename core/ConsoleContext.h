#pragma once
// What the pages of the main window share: the command frame and its links,
// the Return Buffer, the decoders, the message boxes, the localised texts and
// the state that lives for the whole run (receipt, article table, mode flags).

#include "core/AnswerDispatch.h"
#include "core/Menu.h"
#include "core/MessageService.h"
#include "core/Navigator.h"
#include "core/PluTable.h"
#include "core/ReceiptState.h"
#include "device/CommandFrame.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class ReturnBufferModel;
class TLocaleLibrary;
class QAbstractItemView;

class ConsoleContext {
  public:
    ConsoleContext(dev::DeviceSet devices, IMessageService& messages);
    ConsoleContext(const ConsoleContext&) = delete;
    ConsoleContext& operator=(const ConsoleContext&) = delete;

    // ---- services ----
    IMessageService& messages;
    dev::CommandFrame frame;
    AnswerDispatcher decoders;
    LocalisedMessages texts;                   // error caption, format error, ...
    TLocaleLibrary* locale = nullptr;          // null when the language library is not in use
    std::function<QString(int)> localeText;    // the language library's string by number; empty without one
    ReturnBufferModel* returnBuffer = nullptr; // the model behind ListBox1
    QAbstractItemView* returnBufferView = nullptr;
    QWidget* window = nullptr; // the main window, for finding controls by name
    Navigator nav;             // brings a page to the front
    Menu menu;                 // the menu page's buttons by command
    std::function<QByteArray()> portNameFn;
    // Shows a note in the main window's status bar (set by the window).
    std::function<void(const QString&)> showStatusNote;

    // ---- state shared by the pages for the whole run ----
    ReceiptState receipt;
    PluTable plu;
    bool ServiceLoggedOn = false;
    bool FiscalReviewMode = false;
    bool ServiceModeQuery = false;
    std::array<int, 9> VatRates{}; // the nine VAT working values
    QByteArray lastSoftwareStatus; // the last software status answer seen (empty: none yet)
    bool Exiting = false; // the operator chose to exit during a command: ask the printer nothing more

    // ---- helpers every page uses ----
    QString LocaleString(int id) const;
    QString applicationTitle() const;
    void errorBox(const QString& text) const; // caption "Error" (localised), stop icon
    void infoBox(const QString& text) const;  // caption the application title, no icon
    void formatErrorBox() const;              // "Return Value's Format is Illegal!"
    void ShowReturnBuffer(const QString& code, const QByteArray& answer);
    // After a Time Out (-3) on a command that closes a document: reads the
    // software status and tells in the Return Buffer and the status bar
    // whether the printer recorded the document (core/LostAnswer.h).
    void tellAfterLostAnswer(const QByteArray& code, const CommandResult& result);
    // Runs a handler; an exception ends it with the standard error box.
    void guard(const std::function<void()>& handler) const;

    template <typename T> T* find(const QString& objectName) const {
        return window ? window->findChild<T*>(objectName) : nullptr;
    }
};
