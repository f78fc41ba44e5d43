#pragma once
// Every message box and question of the console goes through this interface, so
// that tests can see and answer them without a modal dialog.

#include <QString>

class QWidget;

class IMessageService {
  public:
    enum class Icon { None, Error, Information, Question, Warning };
    virtual ~IMessageService() = default;
    // A box with one OK button.
    virtual void show(const QString& text, const QString& caption, Icon icon) = 0;
    // A Yes/No question; true for Yes.
    virtual bool ask(const QString& text, const QString& caption, Icon icon) = 0;
};

// The real dialogs, parented to the main window.
class QtMessageService : public IMessageService {
  public:
    explicit QtMessageService(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void show(const QString& text, const QString& caption, Icon icon) override;
    bool ask(const QString& text, const QString& caption, Icon icon) override;

  private:
    QWidget* parent_;
};

// Message texts that the start-up replaces with localised strings. The defaults
// are the console's own texts, used when no language library is in use.
struct LocalisedMessages {
    QString errorCaption = QStringLiteral("Error");                            // string 11370
    QString formatError = QStringLiteral("Return Value's Format is Illegal!"); // string 11371
    QString sramEraseWarning =
        QStringLiteral("This Operation will erase the SRAM in Printer"); // 11372, 11373
    QString confirmationCaption = QStringLiteral("Confirmation");        // string 11376
};
