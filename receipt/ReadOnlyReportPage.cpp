#include "receipt/ReadOnlyReportPage.h"

#include "core/ProgrammingWidgets.h"
#include "core/WidgetAccess.h"
#include "receipt/MemReportPage.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

ReadOnlyReportPage::ReadOnlyReportPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::ReadOnlyReport, QStringLiteral("ReadOnlyRP"), parent) {
    using answers::plainLabel;
    auto* type = make<QGroupBox>("RadioGroup1", 8, 4, 300, 50);
    type->setTitle(QStringLiteral("Report Type"));
    make<QRadioButton>("RadioGroup1_0", 12, 22, 130, 20, type)->setText(QStringLiteral("Summary"));
    make<QRadioButton>("RadioGroup1_1", 150, 22, 130, 20, type)->setText(QStringLiteral("Detail"));
    type->findChild<QRadioButton*>(QStringLiteral("RadioGroup1_0"))->setChecked(true);

    auto* mode = make<QGroupBox>("GroupBox16", 8, 58, 520, 190);
    mode->setTitle(QStringLiteral("By Mode"));
    make<QRadioButton>("RadioButton1", 12, 22, 260, 20, mode)
        ->setText(QStringLiteral("Fiscal Memory Report By Z No"));
    plainLabel(make<QLabel>("Label120", 30, 46, 70, 20, mode), QStringLiteral("No From"));
    // The Z numbers take any text (one that is not a number is sent as 0), as
    // long as a Z number can be (kZNumberLength).
    make<QLineEdit>("Edit4", 100, 44, 80, 22, mode)->setMaxLength(reports::kZNumberLength);
    plainLabel(make<QLabel>("Label122", 200, 46, 30, 20, mode), QStringLiteral("To"));
    make<QLineEdit>("Edit5", 235, 44, 80, 22, mode)->setMaxLength(reports::kZNumberLength);

    make<QRadioButton>("RadioButton2", 12, 78, 260, 20, mode)
        ->setText(QStringLiteral("Fiscal Memory Report By Date"));
    plainLabel(make<QLabel>("Label124", 30, 102, 70, 20, mode), QStringLiteral("Date From"));
    plainLabel(make<QLabel>("Label126", 240, 102, 30, 20, mode), QStringLiteral("To"));
    for (const char* name : {"DateTimePicker1", "DateTimePicker2"}) {
        auto* d = make<QDateEdit>(name, name[14] == '1' ? 100 : 275, 100, 130, 22, mode);
        d->setCalendarPopup(true);
        d->setDate(QDate::currentDate());
        d->setEnabled(false);
    }

    make<QRadioButton>("RadioButton3", 12, 134, 260, 20, mode)
        ->setText(QStringLiteral("Fiscal Memory Report Monthly"));
    plainLabel(make<QLabel>("Label128", 30, 158, 60, 20, mode), QStringLiteral("Month"));
    // Masked like page 11's: the month's two digits, the year's four.
    make<prog::MaskEdit>("MaskEdit1", 100, 156, 40, 22, mode)->setup(reports::kMonthMask, QString());
    plainLabel(make<QLabel>("Label129", 160, 158, 40, 20, mode), QStringLiteral("Year"));
    make<prog::MaskEdit>("MaskEdit2", 205, 156, 60, 22, mode)->setup(reports::kYearMask, QString());
    for (const char* name : {"Edit4", "Edit5", "MaskEdit1", "MaskEdit2"})
        mode->findChild<QLineEdit*>(QString::fromLatin1(name))->setReadOnly(true);

    auto* placeholder = makeButton("Button11", QStringLiteral("Report"), 545, 200);
    placeholder->setEnabled(false);
    const struct {
        const char* name;
        const char* caption;
    } runs[] = {{"bbtnZNoReport1", "Report By Z No"},
                {"bbtnDateReport1", "Report By Date"},
                {"bbtnMonthlyReport1", "Report By Monthly"}};
    for (const auto& r : runs)
        makeButton(r.name, QString::fromLatin1(r.caption), placeholder->x(), placeholder->y())
            ->setVisible(false);

    make<QCheckBox>("CheckBox1", 330, 20, 150, 22)->setText(QStringLiteral("Service Mode"));
    makeButton("Button13", QStringLiteral("Service Mode"), 545, 160)->setVisible(false);
    plainLabel(make<QLabel>("lblSkipPswd", 545, 8, 70, 20), QStringLiteral("Password"));
    auto* pwd = make<QLineEdit>("edSkipPswd", 620, 6, 120, 22);
    pwd->setEchoMode(QLineEdit::Password);
    pwd->setMaxLength(8);
    makeButton("btnSkipPswd", QStringLiteral("Skip to read ony mode"), 545, 36, 195);
    makeBackButton("Button10");

    const auto button = [this](const char* name) {
        return findChild<QAbstractButton*>(QString::fromLatin1(name));
    };
    onClick(button("Button13"), [this] { Button13Click(); });
    for (const char* rb : {"RadioButton1", "RadioButton2", "RadioButton3"})
        onClick(button(rb), [this] { RadioButton1Click(); });
    onClick(button("bbtnZNoReport1"), [this] { bbtnZNoReport1Click(); });
    onClick(button("bbtnDateReport1"), [this] { bbtnDateReport1Click(); });
    onClick(button("bbtnMonthlyReport1"), [this] { bbtnMonthlyReport1Click(); });
    onClick(button("btnSkipPswd"), [this] { btnSkipPswdClick(); });
}

void ReadOnlyReportPage::attach() {
    onMenu(MenuCommand::ReadOnlyReport, [this] { BitBtn24Click(); });
}

void ReadOnlyReportPage::formShow() {
    for (const char* name : {"DateTimePicker1", "DateTimePicker2"})
        if (auto* d = findChild<QDateEdit*>(QString::fromLatin1(name)))
            d->setDate(QDate::currentDate());
}

void ReadOnlyReportPage::Button13Click() {
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{ctx_.ServiceModeQuery};
    dev::CommandFrame::Options options;
    options.beforeSecondCall = [this] { ctx_.ServiceModeQuery = true; };
    ctx_.frame.run(
        protocol::cmd::cmSoftwareStatus, [] { return dev::Args{}; }, options);
}

void ReadOnlyReportPage::BitBtn24Click() {
    Button13Click();
    ctx_.nav.show(PageId::ReadOnlyReport);
}

void ReadOnlyReportPage::RadioButton1Click() {
    const auto checked = [this](const char* name) {
        return findChild<QRadioButton*>(QString::fromLatin1(name))->isChecked();
    };
    const bool byZ = checked("RadioButton1"), byDate = checked("RadioButton2"),
               monthly = checked("RadioButton3");
    for (const char* name : {"Edit4", "Edit5"})
        findChild<QLineEdit*>(QString::fromLatin1(name))->setReadOnly(!byZ);
    for (const char* name : {"DateTimePicker1", "DateTimePicker2"})
        findChild<QDateEdit*>(QString::fromLatin1(name))->setEnabled(byDate);
    for (const char* name : {"MaskEdit1", "MaskEdit2"})
        findChild<QLineEdit*>(QString::fromLatin1(name))->setReadOnly(!monthly);
    findChild<QPushButton*>(QStringLiteral("Button11"))->setVisible(false);
    findChild<QPushButton*>(QStringLiteral("bbtnZNoReport1"))->setVisible(byZ);
    findChild<QPushButton*>(QStringLiteral("bbtnDateReport1"))->setVisible(byDate);
    findChild<QPushButton*>(QStringLiteral("bbtnMonthlyReport1"))->setVisible(monthly);
}

static reports::ReportFields readOnlyFields(const QWidget* page) {
    reports::ReportFields f;
    auto* detail = page->findChild<QRadioButton*>(QStringLiteral("RadioGroup1_1"));
    f.kind = [detail] { return detail->isChecked() ? 1 : 0; };
    f.zFrom = page->findChild<QLineEdit*>(QStringLiteral("Edit4"));
    f.zTo = page->findChild<QLineEdit*>(QStringLiteral("Edit5"));
    f.dateFrom = page->findChild<QDateEdit*>(QStringLiteral("DateTimePicker1"));
    f.dateTo = page->findChild<QDateEdit*>(QStringLiteral("DateTimePicker2"));
    f.month = page->findChild<QLineEdit*>(QStringLiteral("MaskEdit1"));
    f.year = page->findChild<QLineEdit*>(QStringLiteral("MaskEdit2"));
    return f;
}

void ReadOnlyReportPage::bbtnZNoReport1Click() {
    reports::RunByZNo(ctx_, readOnlyFields(this), protocol::cmd::cmMemReportByZNo);
}

void ReadOnlyReportPage::bbtnDateReport1Click() {
    reports::RunByDate(ctx_, readOnlyFields(this), protocol::cmd::cmMemReportByDate);
}

void ReadOnlyReportPage::bbtnMonthlyReport1Click() {
    reports::RunMonthly(ctx_, readOnlyFields(this), protocol::cmd::cmMemReportMonthly);
}

void ReadOnlyReportPage::btnSkipPswdClick() {
    auto* pwd = findChild<QLineEdit*>(QStringLiteral("edSkipPswd"));
    struct Empty {
        QLineEdit* e;
        ~Empty() { e->clear(); }
    } empty{pwd}; // emptied after every attempt
    ctx_.frame.run(protocol::cmd::cmSkipPswdLogon,
                   [pwd] { return dev::Args{dev::Arg::text1250(pwd->text())}; }, {.showCode = false});
}

void ReadOnlyReportPage::showServiceMode(bool serviceMode) {
    answers::setButtonChecked(findChild<QCheckBox*>(QStringLiteral("CheckBox1")), serviceMode);
}
