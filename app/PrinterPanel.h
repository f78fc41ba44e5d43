#pragma once
// The "Printer" dock: the virtual printer's live switches (paper, offline,
// battery, fiscal memory, a damaged record, the RAM-reset jumper, and the
// line's faults: time-outs, answers lost or late, a dropped link) and its clock. Each change runs the status
// command that shows it (in the Return Buffer like any command) and the controls then show what the printer
// reported. Offered only when the device library has the switches.

#include "app/PrinterSwitches.h"

#include <QDateTime>
#include <QDockWidget>
#include <QElapsedTimer>

class QTimer;

class ConsoleContext;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QPushButton;
class QSpinBox;

class PrinterPanel : public QDockWidget {
    Q_OBJECT
  public:
    PrinterPanel(ConsoleContext& ctx, QWidget* parent = nullptr);

    PrinterSwitches& switches() { return switches_; }
    // Reads every switch and the clock from the library (after a port change, on showing).
    void refresh();
    // The port was changed: while shown, the panel opens the link on the new
    // port and shows that printer's switches and clock.
    void portChanged();
    QString reportText() const; // what lbReported shows

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    bool set(const QByteArray& key, const QByteArray& value); // false when refused
    void setClock(const QDateTime& when);
    void showReport();
    void showClock();

    ConsoleContext& ctx_;
    PrinterSwitches switches_;
    QCheckBox* paper_ = nullptr;
    QCheckBox* offline_ = nullptr;
    QCheckBox* battery_ = nullptr;
    QCheckBox* resetPin_ = nullptr;
    QComboBox* fiscalMemory_ = nullptr;
    QSpinBox* timeouts_ = nullptr;
    QPushButton* timeoutsBtn_ = nullptr;
    QSpinBox* lost_ = nullptr;
    QPushButton* lostBtn_ = nullptr;
    QSpinBox* late_ = nullptr;
    QSpinBox* lateMs_ = nullptr;
    QPushButton* lateBtn_ = nullptr;
    QSpinBox* dropped_ = nullptr;
    QSpinBox* dropSeed_ = nullptr;
    QPushButton* droppedBtn_ = nullptr;
    QSpinBox* damaged_ = nullptr;
    QPushButton* damagedBtn_ = nullptr;
    QPushButton* midnight_ = nullptr;
    QPushButton* monthEnd_ = nullptr;
    QDateTimeEdit* when_ = nullptr;
    QPushButton* setClock_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QLabel* clock_ = nullptr;
    // The printer's clock as last read, and how long ago: the shown clock
    // ticks every second from it without asking the library again (so a
    // recording holds no clock reads but the panel's own).
    QDateTime clockRead_;
    QElapsedTimer clockAge_;
    QTimer* tick_ = nullptr;
    QLabel* reported_ = nullptr;
};
