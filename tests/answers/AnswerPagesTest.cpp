// The answer pages on the real main window: golden answers decoded into their
// controls, refused answers that change nothing, the review and service-mode
// targets, and the data files read from the working directory.

#include "Fixtures.h"
#include "TestWindow.h"
#include "answers/DataFilePage.h"
#include "answers/DataFiles.h"
#include "answers/FiscalReportPage.h"
#include "answers/HStatusPage.h"
#include "answers/PrnStatusPage.h"
#include "answers/SStatusPage.h"
#include "core/ReturnBufferModel.h"
#include "core/WidgetAccess.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

namespace {

// "control: value" against the window: a label's text, a button's check ("1"/"0"),
// "page", or "grid.rows", "grid.cols", "grid[row,col]" of a small grid.
void expectShown(TestWindow& w, const AnswerFixture& fx) {
    for (const auto& [key, value] : fx.expects) {
        SCOPED_TRACE((fx.title + " / " + key).toStdString());
        if (key == "page") {
            EXPECT_EQ(w.form->currentPage(), static_cast<PageId>(value.toInt()));
        } else if (key.contains('.') || key.contains('[')) {
            const QString grid = key.section(QRegularExpression("[.\\[]"), 0, 0);
            auto* t = w.find<QTableWidget>(grid);
            ASSERT_NE(t, nullptr);
            if (key.endsWith(".rows"))
                EXPECT_EQ(t->rowCount(), value.toInt());
            else if (key.endsWith(".cols"))
                EXPECT_EQ(t->columnCount(), value.toInt());
            else {
                const QStringList rc = key.section('[', 1).chopped(1).split(',');
                auto* item = t->item(rc[0].toInt(), rc[1].toInt());
                ASSERT_NE(item, nullptr);
                EXPECT_EQ(item->text(), value);
            }
        } else if (auto* l = w.form->findChild<QLabel*>(key)) {
            EXPECT_EQ(l->text(), value);
        } else if (auto* b = w.form->findChild<QAbstractButton*>(key)) {
            EXPECT_EQ(b->isChecked(), value == "1");
        } else {
            ADD_FAILURE() << "no control " << key.toStdString();
        }
    }
}

struct DefaultLocale {
    explicit DefaultLocale(const QLocale& l) { QLocale::setDefault(l); }
    ~DefaultLocale() { QLocale::setDefault(QLocale::c()); }
};

// The data files are read from the working directory: each test gets its own.
struct InTempDir {
    QTemporaryDir dir;
    QString old = QDir::currentPath();
    InTempDir() { QDir::setCurrent(dir.path()); }
    ~InTempDir() { QDir::setCurrent(old); }
    void write(const char* name, const QByteArray& data) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
};

QByteArray pluRecord(const QByteArray& name, std::initializer_list<quint16> values) {
    QByteArray r = name.leftJustified(protocol::PluRecord::Name.width, ' ', true);
    for (quint16 v : values) {
        r.append(char(v >> 8));
        r.append(char(v & 0xFF));
    }
    return r.leftJustified(protocol::PluRecord::layout.size, '\0');
}

} // namespace

TEST(GoldenAnswers, EveryFixtureShowsItsFields) {
    DefaultLocale nl(QLocale(QLocale::Dutch, QLocale::Netherlands)); // dd-MM-yyyy, HH:mm
    for (const QString& name : fixtureNames()) {
        TestWindow w;
        w.messages.clear(); // start-up boxes (no language library)
        const AnswerFixture fx = loadFixture(name);
        w.ctx().guard([&] { w.ctx().ShowReturnBuffer(fx.code, fx.bytes); });
        EXPECT_TRUE(w.messages.boxes.empty()) << name.toStdString();
        expectShown(w, fx);
    }
}

TEST(GoldenAnswers, ShortOrWrongPrefixRaisesTheFormatErrorAndChangesNothing) {
    DefaultLocale nl(QLocale(QLocale::Dutch, QLocale::Netherlands));
    for (const QString& name : fixtureNames()) {
        TestWindow w;
        w.messages.clear(); // start-up boxes (no language library)
        const AnswerFixture fx = loadFixture(name);
        w.ctx().ShowReturnBuffer(fx.code, fx.bytes); // fill once
        w.form->showPage(PageId::Menu);
        w.messages.clear();
        QByteArray wrong = fx.bytes;
        wrong[0] = wrong[0] == 'O' ? 'P' : 'O';
        for (const QByteArray& bad : {fx.bytes.left(fx.bytes.size() - 1), wrong}) {
            w.ctx().ShowReturnBuffer(fx.code, bad);
            ASSERT_NE(w.messages.last(), nullptr) << name.toStdString();
            EXPECT_EQ(w.messages.last()->text, "Return Value's Format is Illegal!");
            EXPECT_EQ(w.messages.last()->caption, "Error");
            EXPECT_EQ(w.form->currentPage(), PageId::Menu) << name.toStdString();
        }
        // The earlier answer still stands.
        for (const auto& [key, value] : fx.expects) {
            if (auto* l = w.form->findChild<QLabel*>(key)) {
                EXPECT_EQ(l->text(), value) << name.toStdString() << " " << key.toStdString();
            }
        }
    }
}

TEST(GoldenAnswers, OtherCodesAreOnlyDumped) {
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    const AnswerFixture fx = loadFixture("tax_rates.hex");
    for (const char* code : {"", "13", "63", "4O"}) {
        w.ctx().ShowReturnBuffer(QString::fromLatin1(code), fx.bytes);
        EXPECT_EQ(w.form->currentPage(), PageId::Menu);
        EXPECT_EQ(w.find<QLabel>("lbRate1")->text(), "");
    }
    EXPECT_TRUE(w.messages.boxes.empty());
}

TEST(StatusMenu, EachMenuButtonRunsItsQueryAndShowsItsPage) {
    DefaultLocale nl(QLocale(QLocale::Dutch, QLocale::Netherlands));
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    w.user.reply("cmHardwareStatus", 0, 0, loadFixture("hardware_status.hex").bytes);
    w.user.reply("cmSoftwareStatus", 0, 0, loadFixture("software_status.hex").bytes);
    w.user.reply("cmPrinterStatus", 0, 0, QByteArray("P02"));
    w.click("bbtnChkHw");
    EXPECT_EQ(w.form->currentPage(), PageId::HStatus);
    EXPECT_EQ(w.find<QLabel>("lbTaxID")->text(), "123-456-78-90");
    w.click("bbtnChkSw");
    EXPECT_EQ(w.form->currentPage(), PageId::SStatus);
    EXPECT_EQ(w.find<QLabel>("lbCurDate")->text(), "07-12-2026");
    w.click("bbtnChkPrn");
    EXPECT_EQ(w.form->currentPage(), PageId::PrnStatus);
    EXPECT_TRUE(w.find<QAbstractButton>("rbPrinterStatus3")->isChecked());
    EXPECT_EQ(w.user.count("cmHardwareStatus"), 1);
    EXPECT_TRUE(w.user.lastCommand()->args.empty());

    // A refusal keeps the page's values and shows the device's error.
    w.form->showPage(PageId::Menu);
    w.user.reply("cmHardwareStatus", -1, 0);
    w.click("bbtnChkHw");
    EXPECT_EQ(w.form->currentPage(), PageId::Menu);
    EXPECT_EQ(w.messages.last()->caption, "Error");
    EXPECT_EQ(w.find<QLabel>("lbTaxID")->text(), "123-456-78-90");
}

// The status pages' check boxes and radio buttons show the answer: a click, a
// double click, Space, Select or an arrow key changes none of them, checked or
// not, and leaves them enabled, unpressed and without focus; the program still
// sets them, and a click still marks the shown value's bytes.
TEST(StatusPages, CheckButtonsShowTheAnswerAndTakeNoInput) {
    const struct {
        PageId page;
        const char* fixture;
        const protocol::Layout& layout;
        std::span<const answers::FieldLink> links;
    } pages[] = {
        {PageId::HStatus, "hardware_status.hex", protocol::HardwareStatus::layout, HStatusPage::fieldLinks()},
        {PageId::SStatus, "software_status.hex", protocol::SoftwareStatus::layout, SStatusPage::fieldLinks()},
        {PageId::PrnStatus, "printer_status_offline.hex", protocol::PrinterStatus::layout,
         PrnStatusPage::fieldLinks()}};
    TestWindow w;
    w.form->show();
    ReturnBufferModel& model = *w.ctx().returnBuffer;
    for (const auto& p : pages) {
        SCOPED_TRACE(p.fixture);
        const AnswerFixture fx = loadFixture(QString::fromLatin1(p.fixture));
        w.ctx().ShowReturnBuffer(fx.code, fx.bytes);
        QCoreApplication::processEvents();
        ASSERT_EQ(w.form->currentPage(), p.page);
        QWidget* page = w.form->page(p.page);
        QList<QAbstractButton*> buttons;
        for (QAbstractButton* b : page->findChildren<QAbstractButton*>())
            if ((qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b)) && b->isVisibleTo(page))
                buttons << b;
        ASSERT_FALSE(buttons.isEmpty());
        const auto states = [&] {
            QString s;
            for (const QAbstractButton* b : buttons)
                s += b->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
            return s;
        };
        const int answerRow = model.lastAnswerRow(p.layout);
        ASSERT_GE(answerRow, 0);
        for (QAbstractButton* b : buttons) {
            SCOPED_TRACE(b->objectName().toStdString());
            EXPECT_TRUE(b->isEnabled());
            EXPECT_FALSE(b->text().isEmpty());
            const auto link = std::find_if(p.links.begin(), p.links.end(), [&](const answers::FieldLink& l) {
                return b->objectName() == QLatin1String(l.control);
            });
            ASSERT_NE(link, p.links.end());
            for (const bool checked : {false, true}) {
                answers::setButtonChecked(b, checked);
                ASSERT_EQ(b->isChecked(), checked);
                const QString before = states();
                QSignalSpy clicked(b, &QAbstractButton::clicked);
                model.clearMark();
                QTest::mouseClick(b, Qt::LeftButton);
                // The click marked the value's first byte, on its line of the answer.
                const auto runs = model.index(answerRow + link->from() / 16)
                                      .data(ReturnBufferModel::HighlightRole)
                                      .value<ReturnBufferModel::ByteRuns>();
                ASSERT_FALSE(runs.isEmpty());
                EXPECT_EQ(runs.first().first, link->from() % 16);
                QTest::mouseDClick(b, Qt::LeftButton);
                QTest::mousePress(b, Qt::LeftButton);
                EXPECT_FALSE(b->isDown());
                QTest::mouseRelease(b, Qt::LeftButton);
                for (const Qt::Key key :
                     {Qt::Key_Space, Qt::Key_Select, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right})
                    QTest::keyClick(b, key);
                EXPECT_EQ(states(), before);
                EXPECT_EQ(clicked.count(), 0);
                EXPECT_FALSE(b->isDown());
                EXPECT_FALSE(b->hasFocus());
            }
        }
    }
}

TEST(ReviewMode, StatusAndUploadsFillTheSetIdControlsWithoutSwitchingPage) {
    DefaultLocale nl(QLocale(QLocale::Dutch, QLocale::Netherlands));
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    // The review controls by name; made here when the "SetID" page does not carry them yet.
    QWidget holder(w.form.get());
    auto ensureLabel = [&](const QString& n) {
        if (!w.form->findChild<QLabel*>(n))
            (new QLabel(&holder))->setObjectName(n);
    };
    for (const char* n : {"lbIDFmt1", "lbTaxID1", "lbCurDate1", "lbCurTime1", "lbFreeDep1", "Label130"})
        ensureLabel(n);
    for (int k = 1; k <= 9; ++k)
        ensureLabel(QString("lbRate%1").arg(k * 10 + 1));
    if (!w.form->findChild<QCheckBox*>("CheckBox2"))
        (new QCheckBox(&holder))->setObjectName("CheckBox2");
    if (!w.form->findChild<QTableWidget*>("StringGrid1"))
        (new QTableWidget(&holder))->setObjectName("StringGrid1");

    w.form->showPage(PageId::SetId);
    w.ctx().FiscalReviewMode = true;
    for (const char* f :
         {"hardware_status.hex", "software_status.hex", "tax_rates.hex", "header_lines.hex"}) {
        const AnswerFixture fx = loadFixture(f);
        w.ctx().ShowReturnBuffer(fx.code, fx.bytes);
    }
    w.ctx().FiscalReviewMode = false;
    EXPECT_EQ(w.form->currentPage(), PageId::SetId);
    EXPECT_TRUE(w.messages.boxes.empty());
    EXPECT_EQ(w.find<QLabel>("lbIDFmt1")->text(), "3322");
    EXPECT_EQ(w.find<QLabel>("lbTaxID1")->text(), "123-456-78-90");
    EXPECT_EQ(w.find<QLabel>("lbIDCode")->text(), "ABC"); // written on page 12 too
    EXPECT_EQ(w.find<QLabel>("lbTaxID")->text(), "");     // page 12's own tax ID untouched
    EXPECT_EQ(w.find<QLabel>("lbCurDate1")->text(), "07-12-2026");
    EXPECT_EQ(w.find<QLabel>("lbCurTime1")->text(), "23:59:59");
    EXPECT_TRUE(w.find<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_EQ(w.find<QLabel>("lbCurDate")->text(), "");
    EXPECT_EQ(w.find<QLabel>("lbRate11")->text(), "2200");
    EXPECT_EQ(w.find<QLabel>("lbRate31")->text(), "PTU ZW");
    EXPECT_EQ(w.find<QLabel>("lbFreeDep1")->text(), "C");
    EXPECT_EQ(w.find<QLabel>("lbRate1")->text(), "");
    EXPECT_EQ(w.find<QTableWidget>("StringGrid1")->rowCount(), 5);
    EXPECT_EQ(w.find<QTableWidget>("sgrdUpload")->rowCount(), 0);
}

TEST(ReviewMode, MissingReviewControlsAreSkipped) {
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    w.ctx().FiscalReviewMode = true;
    const AnswerFixture fx = loadFixture("tax_rates.hex");
    w.ctx().ShowReturnBuffer(fx.code, fx.bytes); // no crash whatever page 18 holds
    EXPECT_EQ(w.form->currentPage(), PageId::Menu);
}

TEST(Uploads, RunTwiceShowsOneSetOfRowsWithColumnWidthsInCharacters) {
    TestWindow w(true);
    w.messages.clear(); // start-up boxes (no language library)
    const AnswerFixture fx = loadFixture("departments.hex");
    w.ctx().ShowReturnBuffer(fx.code, fx.bytes);
    w.ctx().ShowReturnBuffer(fx.code, fx.bytes);
    auto* g = w.find<QTableWidget>("sgrdUpload");
    EXPECT_EQ(g->rowCount(), 9);
    const int unit = QFontMetrics(g->font()).horizontalAdvance('W');
    EXPECT_EQ(g->columnWidth(2), unit * 20 + 2);
    EXPECT_EQ(g->horizontalHeaderItem(0)->text(), w.ctx().LocaleString(11331));
    EXPECT_EQ(w.find<QLabel>("lbUpload")->text(), w.ctx().LocaleString(11330));
}

TEST(PluFile, TwoRecordsThenOneRebuildTheGrid) {
    InTempDir tmp;
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    tmp.write(protocol::kPluFile, pluRecord("A", {2200, 10000, 0xFFFF}) + pluRecord("B", {750}));
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("90", {}); });
    auto* page = static_cast<DataFilePage*>(w.form->page(PageId::PluInfo));
    auto* grid = w.find<QTableView>("sgrdPlu");
    EXPECT_EQ(w.form->currentPage(), PageId::PluInfo);
    EXPECT_FALSE(grid->isHidden());
    ASSERT_EQ(page->model()->rowCount(), 2);
    EXPECT_EQ(page->model()->columnCount(), 7);
    EXPECT_EQ(page->model()->cell(0, 1), "22");
    EXPECT_EQ(page->model()->cell(0, 2), "ZW");
    EXPECT_EQ(page->model()->cell(0, 3), "");
    EXPECT_EQ(page->model()->cell(1, 1), "7.5");
    EXPECT_EQ(grid->columnWidth(0), QFontMetrics(grid->font()).horizontalAdvance('W') * 40 + 2);
    EXPECT_TRUE(w.messages.boxes.empty());

    tmp.write(protocol::kPluFile, pluRecord("C", {1}));
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("90", {}); });
    ASSERT_EQ(page->model()->rowCount(), 1);
    EXPECT_EQ(page->model()->cell(0, 0).trimmed(), "C");
}

TEST(PluFile, ShortLastRecordHidesTheGridButKeepsRowsAndSwitchesPage) {
    InTempDir tmp;
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    tmp.write(protocol::kPluFile, pluRecord("A", {1}) + QByteArray(10, 'x'));
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("90", {}); });
    EXPECT_EQ(w.form->currentPage(), PageId::PluInfo);
    EXPECT_TRUE(w.find<QTableView>("sgrdPlu")->isHidden());
    EXPECT_EQ(static_cast<DataFilePage*>(w.form->page(PageId::PluInfo))->model()->rowCount(), 1);
    ASSERT_EQ(w.messages.boxes.size(), 1u);
    EXPECT_EQ(w.messages.last()->text, "Return Value's Format is Illegal!");
}

TEST(PluFile, MissingFileShowsTheOpenErrorAndKeepsTheGrid) {
    InTempDir tmp;
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    tmp.write(protocol::kPluFile, pluRecord("A", {1}));
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("90", {}); });
    QFile::remove(tmp.dir.filePath(protocol::kPluFile));
    w.form->showPage(PageId::Menu);
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("90", {}); });
    ASSERT_EQ(w.messages.boxes.size(), 1u);
    EXPECT_TRUE(w.messages.last()->text.startsWith("Cannot open file \"_Plu.mem\". "))
        << w.messages.last()->text.toStdString();
    EXPECT_EQ(w.form->currentPage(), PageId::Menu);
    EXPECT_EQ(static_cast<DataFilePage*>(w.form->page(PageId::PluInfo))->model()->rowCount(), 1);
}

TEST(ReturnPackageFile, ValuesByWidthAndDivisor) {
    InTempDir tmp;
    TestWindow w(true);
    w.messages.clear(); // start-up boxes (no language library)
    QByteArray rec = QByteArray("BUTELKA").leftJustified(protocol::PackageRecord::Name.width, ' ');
    rec += QByteArray::fromHex("00000001E240");
    rec += QByteArray::fromHex("0001E240");
    rec += QByteArray::fromHex("FFFFFFFFFFFF");
    rec += QByteArray::fromHex("FFFFFFFF");
    rec += QByteArray::fromHex("000000000032");
    ASSERT_EQ(rec.size(), protocol::PackageRecord::layout.size);
    tmp.write(protocol::kReturnPackageFile, rec);
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("89", {}); });
    auto* m = static_cast<DataFilePage*>(w.form->page(PageId::RtnPkg))->model();
    EXPECT_EQ(w.form->currentPage(), PageId::RtnPkg);
    ASSERT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->cell(0, 1), "1234.56");
    EXPECT_EQ(m->cell(0, 2), "123.456");
    EXPECT_EQ(m->cell(0, 3), "");
    EXPECT_EQ(m->cell(0, 4), "");
    EXPECT_EQ(m->cell(0, 5), "0.5");
    EXPECT_EQ(m->headers().size(), 6);
    EXPECT_EQ(m->headers().at(0), w.ctx().LocaleString(11351));
    EXPECT_EQ(w.find<QLabel>("Label116")->text(), w.ctx().LocaleString(11350));
    EXPECT_FALSE(w.find<QTableView>("sgrdPkg")->isHidden());
}

TEST(FiscalReportFile, HundredBytesGiveFourLinesAndReplaceTheOldReport) {
    InTempDir tmp;
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    QByteArray data = QByteArray("LINE ONE").leftJustified(32, '\0') + QByteArray(32, '\0') +
                      QByteArray(32, 'x') + QByteArray("END!");
    tmp.write(protocol::kFiscalReportFile, data);
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("15", {}); });
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("15", {}); });
    auto* m = static_cast<FiscalReportPage*>(w.form->page(PageId::FiscalReport))->model();
    EXPECT_EQ(w.form->currentPage(), PageId::FiscalReport);
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->line(0), "LINE ONE");
    EXPECT_EQ(m->line(1), "");
    EXPECT_EQ(m->line(2), QString(32, 'x'));
    EXPECT_EQ(m->line(3), "END!");

    // Missing file: the open error; the list keeps its lines and the page does not switch.
    QFile::remove(tmp.dir.filePath(protocol::kFiscalReportFile));
    w.form->showPage(PageId::MemReport);
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("15", {}); });
    EXPECT_EQ(m->rowCount(), 4);
    EXPECT_EQ(w.form->currentPage(), PageId::MemReport);
    EXPECT_TRUE(w.messages.last()->text.startsWith("Cannot open file"));

    // An empty file is one empty line.
    tmp.write(protocol::kFiscalReportFile, {});
    w.ctx().guard([&] { w.ctx().ShowReturnBuffer("15", {}); });
    ASSERT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->line(0), "");
}

TEST(FiscalReportPage, ButtonsAndTheirStates) {
    TestWindow w;
    w.messages.clear(); // start-up boxes (no language library)
    EXPECT_TRUE(w.find<QPushButton>("btnfisPrint")->isHidden());
    EXPECT_TRUE(w.find<QPushButton>("btnBurn")->isHidden());
    EXPECT_EQ(w.find<QPushButton>("btnBackToMemRpt")->text(), "Back");
    w.form->showPage(PageId::FiscalReport);
    w.click("btnBackToMemRpt");
    EXPECT_EQ(w.form->currentPage(), PageId::Menu);
    static_cast<FiscalReportPage*>(w.form->page(PageId::FiscalReport))->btnBackToMemRptClick();
    EXPECT_EQ(w.form->currentPage(), PageId::MemReport);
}
