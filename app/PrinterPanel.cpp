#include "app/PrinterPanel.h"

#include "core/ConsoleContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace {
const char* const kFiscalMemory[] = {"ok", "nearly_full", "full"};

template <typename W> W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
} // namespace

PrinterPanel::PrinterPanel(ConsoleContext& ctx, QWidget* parent)
    : QDockWidget(QStringLiteral("Printer"), parent), ctx_(ctx), switches_(ctx) {
    setObjectName(QStringLiteral("PrinterDock"));
    setAllowedAreas(Qt::AllDockWidgetAreas);
    auto* body = named(new QWidget(this), "PrinterBody");
    // laid out across: it sits under the pages, beside it the paper
    auto* across = new QHBoxLayout(body);
    across->setContentsMargins(6, 2, 6, 6);

    auto* faults = named(new QGroupBox(QStringLiteral("Faults"), body), "gbPrinterFaults");
    auto* faultColumns = new QHBoxLayout(faults);
    auto* flags = new QVBoxLayout();
    auto* form = new QFormLayout();
    faultColumns->addLayout(flags);
    faultColumns->addLayout(form);
    paper_ = named(new QCheckBox(QStringLiteral("Paper out"), faults), "chkPaperOut");
    offline_ = named(new QCheckBox(QStringLiteral("Offline"), faults), "chkOffline");
    battery_ = named(new QCheckBox(QStringLiteral("Low battery"), faults), "chkLowBattery");
    resetPin_ = named(new QCheckBox(QStringLiteral("RAM reset jumper shorted"), faults), "chkResetPin");
    flags->addWidget(paper_);
    flags->addWidget(offline_);
    flags->addWidget(battery_);
    flags->addWidget(resetPin_);
    fiscalMemory_ = named(new QComboBox(faults), "cbFiscalMemory");
    fiscalMemory_->addItems({QStringLiteral("OK"), QStringLiteral("Nearly full"), QStringLiteral("Full")});
    form->addRow(named(new QLabel(QStringLiteral("Fiscal memory:"), faults), "lbFiscalMemory"),
                 fiscalMemory_);
    auto* timeoutsRow = new QHBoxLayout();
    timeouts_ = named(new QSpinBox(faults), "spinTimeouts");
    timeouts_->setRange(0, 999);
    timeouts_->setValue(1);
    timeoutsBtn_ = named(new QPushButton(QStringLiteral("Set"), faults), "btnTimeouts");
    timeoutsRow->addWidget(timeouts_, 1);
    timeoutsRow->addWidget(timeoutsBtn_);
    form->addRow(named(new QLabel(QStringLiteral("Time-outs, next N:"), faults), "lbTimeouts"), timeoutsRow);
    // the line's other faults: done but the answer lost, done and the answer
    // late, or the link dropped before or after the printer had the command
    auto count = [faults](const char* name) {
        auto* spin = named(new QSpinBox(faults), name);
        spin->setRange(0, 999);
        spin->setValue(1);
        return spin;
    };
    auto* lostRow = new QHBoxLayout();
    lost_ = count("spinLostAnswers");
    lostBtn_ = named(new QPushButton(QStringLiteral("Set"), faults), "btnLostAnswers");
    lostRow->addWidget(lost_, 1);
    lostRow->addWidget(lostBtn_);
    form->addRow(named(new QLabel(QStringLiteral("Answers lost, next N:"), faults), "lbLostAnswers"),
                 lostRow);
    auto* lateRow = new QHBoxLayout();
    late_ = count("spinLateAnswers");
    lateMs_ = named(new QSpinBox(faults), "spinLateMs");
    lateMs_->setRange(0, 60000);
    lateMs_->setSingleStep(500);
    lateMs_->setValue(2000);
    lateMs_->setSuffix(QStringLiteral(" ms"));
    lateBtn_ = named(new QPushButton(QStringLiteral("Set"), faults), "btnLateAnswers");
    lateRow->addWidget(late_, 1);
    lateRow->addWidget(lateMs_, 1);
    lateRow->addWidget(lateBtn_);
    form->addRow(named(new QLabel(QStringLiteral("Answers late, next N:"), faults), "lbLateAnswers"),
                 lateRow);
    auto* droppedRow = new QHBoxLayout();
    dropped_ = count("spinDroppedLink");
    dropSeed_ = named(new QSpinBox(faults), "spinDropSeed");
    dropSeed_->setRange(0, 999999);
    dropSeed_->setValue(1);
    dropSeed_->setPrefix(QStringLiteral("seed "));
    droppedBtn_ = named(new QPushButton(QStringLiteral("Set"), faults), "btnDroppedLink");
    droppedRow->addWidget(dropped_, 1);
    droppedRow->addWidget(dropSeed_, 1);
    droppedRow->addWidget(droppedBtn_);
    form->addRow(named(new QLabel(QStringLiteral("Link dropped, next N:"), faults), "lbDroppedLink"),
                 droppedRow);
    auto* damagedRow = new QHBoxLayout();
    damaged_ = named(new QSpinBox(faults), "spinDamagedRecord");
    damaged_->setRange(0, 99999999);
    damaged_->setSpecialValueText(QStringLiteral("none"));
    damagedBtn_ = named(new QPushButton(QStringLiteral("Set"), faults), "btnDamagedRecord");
    damagedRow->addWidget(damaged_, 1);
    damagedRow->addWidget(damagedBtn_);
    form->addRow(named(new QLabel(QStringLiteral("Damaged Z record:"), faults), "lbDamagedRecord"),
                 damagedRow);
    across->addWidget(faults);

    auto* clockBox = named(new QGroupBox(QStringLiteral("Clock"), body), "gbPrinterClock");
    auto* clockColumn = new QVBoxLayout(clockBox);
    clock_ = named(new QLabel(clockBox), "lbPrinterClock");
    tick_ = new QTimer(this);
    tick_->setInterval(1000);
    connect(tick_, &QTimer::timeout, this, &PrinterPanel::showClock);
    midnight_ =
        named(new QPushButton(QStringLiteral("One minute before midnight"), clockBox), "btnMinuteToMidnight");
    monthEnd_ = named(new QPushButton(QStringLiteral("End of the month"), clockBox), "btnEndOfMonth");
    auto* whenRow = new QHBoxLayout();
    when_ = named(new QDateTimeEdit(clockBox), "dtPrinterClock");
    when_->setTimeSpec(Qt::UTC);
    when_->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    when_->setDateTime(QDateTime(QDate(2026, 3, 31), QTime(23, 59, 0), Qt::UTC));
    setClock_ = named(new QPushButton(QStringLiteral("Set"), clockBox), "btnSetClock");
    whenRow->addWidget(when_, 1);
    whenRow->addWidget(setClock_);
    clockColumn->addWidget(clock_);
    clockColumn->addWidget(midnight_);
    clockColumn->addWidget(monthEnd_);
    clockColumn->addLayout(whenRow);
    across->addWidget(clockBox);

    auto* column = new QVBoxLayout();
    reported_ = named(new QLabel(body), "lbReported");
    reported_->setWordWrap(true);
    reported_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    reported_->setMinimumWidth(160);
    reported_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(reported_, 1);
    refresh_ = named(new QPushButton(QStringLiteral("Read the switches"), body), "btnReadSwitches");
    column->addWidget(refresh_);
    across->addLayout(column, 1);
    setWidget(body);

    auto flag = [this](QCheckBox* box, const char* key, const char* off, const char* on) {
        connect(box, &QCheckBox::toggled, this, [this, box, key, off, on](bool checked) {
            if (!set(QByteArray(key), QByteArray(checked ? on : off))) {
                const QSignalBlocker keep(box); // refused: the switch stays as it was
                box->setChecked(!checked);
            }
        });
    };
    flag(paper_, "paper", "ok", "out");
    flag(offline_, "offline", "false", "true");
    flag(battery_, "battery", "normal", "low");
    flag(resetPin_, "reset_pin", "open", "shorted");
    connect(fiscalMemory_, &QComboBox::activated, this,
            [this](int i) { set("fiscal_memory", kFiscalMemory[std::clamp(i, 0, 2)]); });
    connect(timeoutsBtn_, &QPushButton::clicked, this,
            [this] { set("timeouts", QByteArray::number(timeouts_->value())); });
    connect(lostBtn_, &QPushButton::clicked, this,
            [this] { set("lost_answers", QByteArray::number(lost_->value())); });
    connect(lateBtn_, &QPushButton::clicked, this, [this] {
        if (set("late_ms", QByteArray::number(lateMs_->value())))
            set("late_answers", QByteArray::number(late_->value()));
    });
    connect(droppedBtn_, &QPushButton::clicked, this, [this] {
        // the seed first: the sequence starts again from it
        if (set("drop_seed", QByteArray::number(dropSeed_->value())))
            set("dropped_link", QByteArray::number(dropped_->value()));
    });
    connect(damagedBtn_, &QPushButton::clicked, this,
            [this] { set("damaged_record", QByteArray::number(damaged_->value())); });
    connect(midnight_, &QPushButton::clicked, this, [this] {
        const QDateTime now = switches_.clock();
        setClock(
            PrinterSwitches::minuteBeforeMidnight(now.isValid() ? now : QDateTime::currentDateTimeUtc()));
    });
    connect(monthEnd_, &QPushButton::clicked, this, [this] {
        const QDateTime now = switches_.clock();
        setClock(PrinterSwitches::endOfMonth(now.isValid() ? now : QDateTime::currentDateTimeUtc()));
    });
    connect(setClock_, &QPushButton::clicked, this, [this] { setClock(when_->dateTime()); });
    connect(refresh_, &QPushButton::clicked, this, [this] { refresh(); });
}

void PrinterPanel::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    refresh();
    tick_->start();
}

void PrinterPanel::hideEvent(QHideEvent* event) {
    QDockWidget::hideEvent(event);
    tick_->stop();
}

void PrinterPanel::portChanged() {
    if (!isVisible())
        return;
    ctx_.guard([this] { ctx_.frame.EnsureLinkOpen(dev::Library::User); });
    refresh();
}

void PrinterPanel::showClock() {
    clock_->setText(clockRead_.isValid() ? QStringLiteral("Printer clock: %1")
                                               .arg(clockRead_.addMSecs(clockAge_.elapsed())
                                                        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                         : QStringLiteral("Printer clock: the port is not open or busy"));
}

bool PrinterPanel::set(const QByteArray& key, const QByteArray& value) {
    bool done = false;
    ctx_.guard([&] { done = switches_.setFault(key, value); });
    showReport();
    return done;
}

void PrinterPanel::setClock(const QDateTime& when) {
    ctx_.guard([&] { switches_.setClock(when); });
    showReport();
}

void PrinterPanel::refresh() {
    clockRead_ = switches_.clock();
    clockAge_.start();
    showClock();
    if (switches_.fault("paper").isEmpty())
        return; // not open, or a command runs: the switches stay as they are
    const QSignalBlocker b1(paper_), b2(offline_), b3(battery_), b4(resetPin_), b5(fiscalMemory_);
    paper_->setChecked(switches_.fault("paper") == "out");
    offline_->setChecked(switches_.fault("offline") == "true");
    battery_->setChecked(switches_.fault("battery") == "low");
    resetPin_->setChecked(switches_.fault("reset_pin") == "shorted");
    const QByteArray fm = switches_.fault("fiscal_memory");
    fiscalMemory_->setCurrentIndex(fm == "full" ? 2 : fm == "nearly_full" ? 1 : 0);
}

QString PrinterPanel::reportText() const {
    const PrinterSwitches::Report& r = switches_.report();
    QStringList parts;
    if (r.printerStatus) {
        const int s = *r.printerStatus;
        parts << QStringLiteral("printer status P0%1 (%2)")
                     .arg(s)
                     .arg(s == 0   ? QStringLiteral("ready")
                          : s == 2 ? QStringLiteral("paper out")
                          : s == 6 ? QStringLiteral("offline")
                                   : QStringLiteral("other"));
    }
    if (r.hardware) {
        const auto& h = *r.hardware;
        parts << QStringLiteral("battery %1 (%2)").arg(h.battery == '0' ? "low" : "normal", h.batteryVoltage)
              << QStringLiteral("reset jumper %1").arg(h.resetPin == '1' ? "shorted" : "open")
              << QStringLiteral("fiscal memory %1, %2 records free")
                     .arg(h.fiscalMemFull ? "full" : "not full",
                          h.freeZ.isEmpty() ? QStringLiteral("0") : h.freeZ)
              << QStringLiteral("records %1").arg(h.recordsDamaged ? "damaged" : "whole");
    }
    if (r.software)
        parts << QStringLiteral("clock %1 %2").arg(r.software->date, r.software->time);
    static const std::pair<const char*, const char*> kLeft[] = {{"timeouts", "time-outs left %1"},
                                                                {"lost_answers", "answers to lose %1"},
                                                                {"late_answers", "late answers %1"},
                                                                {"dropped_link", "links to drop %1"}};
    for (const auto& [key, text] : kLeft)
        if (const QString n = r.left.value(key); !n.isEmpty())
            parts << QString::fromLatin1(text).arg(n);
    return parts.isEmpty() ? QString()
                           : QStringLiteral("The printer reports: ") + parts.join(QStringLiteral("; "));
}

void PrinterPanel::showReport() {
    refresh();
    const PrinterSwitches::Report& r = switches_.report();
    // the switches show the state the printer reported, where its answer holds it
    const QSignalBlocker b1(paper_), b2(offline_), b3(battery_), b4(resetPin_);
    if (r.printerStatus && *r.printerStatus != 6) {
        paper_->setChecked(*r.printerStatus == 2);
        offline_->setChecked(false);
    } else if (r.printerStatus) {
        offline_->setChecked(true);
    }
    if (r.hardware) {
        battery_->setChecked(r.hardware->battery == '0');
        resetPin_->setChecked(r.hardware->resetPin == '1');
    }
    reported_->setText(switches_.lastError().isEmpty() ? reportText() : switches_.lastError());
}
