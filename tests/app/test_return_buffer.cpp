#include "../answers/Fixtures.h"
#include "TestWindow.h"
#include "answers/HStatusPage.h"
#include "answers/PrnStatusPage.h"
#include "answers/ReturnBufferView.h"
#include "answers/SStatusPage.h"
#include "answers/TaxRateUploadPage.h"
#include "answers/UploadPage.h"
#include "core/AnswerDispatch.h"
#include "core/HexDump.h"
#include "core/ReturnBufferModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFocusEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {
std::string line(const QByteArray& bytes) {
    char out[hexdump::kMaxLineLength];
    const int n = hexdump::formatLine(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                      static_cast<int>(bytes.size()), out);
    return std::string(out, static_cast<size_t>(n));
}
} // namespace

TEST(HexDump, LineLayout) {
    // Three bytes: 47-character hex column, " | ", characters padded to 15.
    EXPECT_EQ(line(QByteArray("P0\0", 3)),
              "50 30 00" + std::string(39, ' ') + " | P0." + std::string(12, ' '));
    // A full line ends its hex column with the last pair at character 47.
    QByteArray sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen.append(char('A' + i));
    const std::string full = line(sixteen);
    EXPECT_EQ(full.size(), 66u);
    EXPECT_EQ(full.substr(45, 2), "50");
    EXPECT_EQ(full.substr(47, 3), " | ");
    EXPECT_EQ(full.substr(50), "ABCDEFGHIJKLMNOP");
    // Only 0x00 becomes "."; 0x2E is a dot too, told apart by the hex column.
    EXPECT_EQ(line(QByteArray("\x00\x2e", 2)).substr(0, 6), "00 2E ");
    EXPECT_EQ(line(QByteArray("\x00\x2e", 2)).substr(50, 2), "..");
    // Control characters and 0xFF go in as they are.
    EXPECT_EQ(line(QByteArray("\x01\xff", 2)).substr(50, 2), "\x01\xff");
}

TEST(HexDump, WholeDumpLineCount) {
    QByteArray seventeen(17, '\x41');
    const std::string all =
        hexdump::formatAll(reinterpret_cast<const unsigned char*>(seventeen.constData()), 17);
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 2);
    EXPECT_EQ(all.substr(67, 2), "41");
    EXPECT_EQ(all.substr(67 + 47, 3), " | ");
    EXPECT_EQ(all.substr(67 + 50), "A" + std::string(14, ' ') + "\n");
    EXPECT_TRUE(hexdump::formatAll(nullptr, 0).empty());
}

TEST(AnswerDispatch, CodeConversion) {
    EXPECT_EQ(AnswerDispatcher::codeNumber("40"), 40);
    EXPECT_EQ(AnswerDispatcher::codeNumber("02"), 2);
    EXPECT_EQ(AnswerDispatcher::codeNumber(""), 0);
    EXPECT_EQ(AnswerDispatcher::codeNumber("4x"), 0);
    EXPECT_EQ(AnswerDispatcher::codeNumber(" 40"), 0);
    AnswerDispatcher d;
    int hits = 0;
    d.registerDecoder(40, [&](const QByteArray&) { ++hits; });
    d.DecodeAnswer("40", {});
    d.DecodeAnswer("41", {});
    d.DecodeAnswer("", {});
    EXPECT_EQ(hits, 1);
}

TEST(ReturnBuffer, ShowAddsHeadingsAndDumpAndSelectsTheLastLine) {
    TestWindow w; // no language library: the two heading lines are empty
    auto* list = w.find<QAbstractItemView>("ListBox1");
    auto* model = w.ctx().returnBuffer;
    w.ctx().ShowReturnBuffer("", QByteArray(17, 'A'));
    ASSERT_EQ(model->rowCount(), 4);
    EXPECT_EQ(model->lineAt(0), "");
    EXPECT_EQ(model->lineAt(1), "");
    EXPECT_EQ(model->lineAt(3).size(), 47 + 3 + 15);
    EXPECT_EQ(list->currentIndex().row(), 3);

    w.ctx().ShowReturnBuffer("13", {}); // length 0: only the headings
    EXPECT_EQ(model->rowCount(), 6);
    EXPECT_EQ(list->currentIndex().row(), 5);
    EXPECT_EQ(model->lineAt(2).left(2), "41"); // earlier lines stay above

    // A long answer scrolls the list to its last line.
    w.form->show();
    w.ctx().ShowReturnBuffer("", QByteArray(16 * 40, 'A'));
    QCoreApplication::processEvents();
    QScrollBar* bar = list->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(list->indexAt(QPoint(5, list->viewport()->height() - 10)).row(), model->rowCount() - 1);

    w.click("Button3"); // "Clear Buffer"
    EXPECT_EQ(model->rowCount(), 0);
}

TEST(ReturnBuffer, HeadingCarriesTheCodeWithTheLanguageLibrary) {
    TestWindow w(true);
    ASSERT_NE(w.ctx().locale, nullptr);
    w.ctx().ShowReturnBuffer("40", QByteArray("O0", 2));
    const QString heading = w.ctx().returnBuffer->lineAt(0);
    EXPECT_TRUE(heading.contains("40")) << heading.toStdString();
    EXPECT_FALSE(heading.contains("%s"));
}

TEST(ReturnBuffer, BytesShowAsCodePage1250Characters) {
    ReturnBufferModel m;
    m.appendDump(QByteArray("\xa5\xb9", 2)); // Ą ą
    EXPECT_EQ(m.lineAt(0).mid(50, 2), QString::fromUtf8("Ąą"));
    EXPECT_EQ(m.lineAt(5), QString());
    EXPECT_EQ(m.lineAt(-1), QString());
}

namespace {
// A line's highlighted bytes as "first+count" runs, "" for none.
std::string runs(const ReturnBufferModel& m, int row) {
    const QVariant v = m.data(m.index(row, 0), ReturnBufferModel::HighlightRole);
    std::string text;
    for (const ReturnBufferModel::ByteRun& r : v.value<ReturnBufferModel::ByteRuns>())
        text += (text.empty() ? "" : ",") + std::to_string(r.first) + "+" + std::to_string(r.count);
    return text;
}
// Every line's highlight, only the highlighted ones.
std::map<int, std::string> highlights(const ReturnBufferModel& m) {
    std::map<int, std::string> all;
    for (int row = 0; row < m.rowCount(); ++row)
        if (const std::string r = runs(m, row); !r.empty())
            all[row] = r;
    return all;
}
QString toolTip(const ReturnBufferModel& m, int row) {
    return m.data(m.index(row, 0), Qt::ToolTipRole).toString();
}
} // namespace

TEST(ReturnBuffer, PointingAtAByteTellsItsFieldAndHighlightsItsBytes) {
    const QByteArray hardware = loadFixture("hardware_status.hex").bytes;
    const QByteArray departments = loadFixture("departments.hex").bytes;
    ASSERT_EQ(hardware.size(), 62);
    ASSERT_EQ(departments.size(), 209);
    ReturnBufferModel m;
    m.appendLine("heading");                                                // line 0
    m.appendDump(hardware, &protocol::HardwareStatus::layout);              // lines 1-4
    m.appendDump(departments, &protocol::Departments::layout);              // lines 5-18
    m.appendDump(hardware + "EXTRAEXT", &protocol::HardwareStatus::layout); // lines 19-23, 8 bytes past
    m.appendDump(QByteArray(130, '\x11'));                                  // lines 24-32, a memory dump
    ASSERT_EQ(m.rowCount(), 33);

    const QString taxId = "HardwareStatus: TaxId\noffset 13 (0x0D), 10 bytes\ntax ID (NIP), 0xFF when "
                          "unset\nvalue: \"1234567890\"";
    const QString tenths = "HardwareStatus: BatteryTenths\noffset 61 (0x3D), 1 byte\nbattery voltage, "
                           "tenths\nvalue: '9' (0x39)";
    const struct {
        int row, byte;
        QString toolTip; // on the pointed line; empty: none anywhere
        std::map<int, std::string> highlight;
    } cases[] = {
        {1, 1, "HardwareStatus: Prefix\noffset 0 (0x00), 2 bytes\nO0\nvalue: \"O0\"", {{1, "0+2"}}},
        // a field over two lines, pointed at on either
        {1, 14, taxId, {{1, "13+3"}, {2, "0+7"}}},
        {2, 3, taxId, {{1, "13+3"}, {2, "0+7"}}},
        {2,
         8,
         "HardwareStatus: IdFormat\noffset 23 (0x17), 2 bytes\ntax ID grouping, two raw bytes\nvalue: 33 22",
         {{2, "7+2"}}},
        {2,
         13,
         "HardwareStatus: SaleReceipt\noffset 29 (0x1D), 1 byte\n1: sales receipt opened\nvalue: 1",
         {{2, "13+1"}}},
        {3,
         10,
         "HardwareStatus: ReceiptNo\noffset 40 (0x28), 6 bytes\nlast receipt number\nvalue: xxxxxx (not "
         "digits)",
         {{3, "8+6"}}},
        {4, 13, tenths, {{4, "13+1"}}},
        {4, 14, "", {}}, // past the answer
        // records, counted from 1; a name over two lines and one over three
        {5,
         4,
         "Departments record 1: Letter\noffset 4 (0x04), 1 byte\ntax letter, 0xFF when unset\nvalue: 'A' "
         "(0x41)",
         {{5, "4+1"}}},
        {9,
         6,
         "Departments record 3: Name\noffset 51 (0x33), 20 bytes\ndepartment name, 0xFF when unset\nvalue: "
         "\"DEPT "
         "3              \"",
         {{8, "3+13"}, {9, "0+7"}}},
        {18,
         0,
         "Departments record 9: Name\noffset 189 (0xBD), 20 bytes\ndepartment name, 0xFF when unset\nvalue: "
         "\"DEPT "
         "9              \"",
         {{16, "13+3"}, {17, "0+16"}, {18, "0+1"}}},
        // a longer answer: its last field still, then bytes past the layout
        {22, 13, tenths, {{22, "13+1"}}},
        {22, 14, "", {}},
        {23, 0, "", {}},
        {0, 0, "", {}},  // a heading
        {24, 0, "", {}}, // an answer of no layout
        {1, -1, "", {}}, // no byte
        {1, 16, "", {}},
        {-5, 0, "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("line " + std::to_string(c.row) + " byte " + std::to_string(c.byte));
        m.setPointedByte(c.row, c.byte);
        for (int row = 0; row < m.rowCount(); ++row)
            EXPECT_EQ(toolTip(m, row), row == c.row ? c.toolTip : QString()) << "line " << row;
        EXPECT_EQ(highlights(m), c.highlight);
    }

    // Moving inside a field changes nothing the view must repaint.
    m.setPointedByte(1, 14);
    QSignalSpy changes(&m, &QAbstractItemModel::dataChanged);
    m.setPointedByte(1, 15);
    EXPECT_EQ(changes.count(), 0);
    m.clearPointedByte();
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(highlights(m).empty());

    // A mark goes to the most recent answer of the layout, and a new answer ends it.
    EXPECT_EQ(m.lastAnswerRow(protocol::HardwareStatus::layout), 19);
    EXPECT_EQ(m.lastAnswerRow(protocol::TaxRates::layout), -1);
    const ReturnBufferModel::Rows rows = m.markBytes(protocol::HardwareStatus::layout, 60, 62);
    EXPECT_EQ(rows.first, 22);
    EXPECT_EQ(rows.last, 22);
    EXPECT_EQ(highlights(m), (std::map<int, std::string>{{22, "12+2"}}));
    EXPECT_EQ(m.markBytes(protocol::TaxRates::layout, 2, 6).first, -1);
    EXPECT_TRUE(highlights(m).empty());
    m.markBytes(protocol::HardwareStatus::layout, 0, 2);
    m.appendDump("O0");
    EXPECT_TRUE(highlights(m).empty());
}

TEST(ReturnBuffer, SelectingAShownValueHighlightsItsBytesInTheLatestAnswer) {
    TestWindow w;
    w.form->show();
    auto* list = w.find<ReturnBufferView>("ListBox1");
    ReturnBufferModel& m = *w.ctx().returnBuffer;
    const QByteArray hardware = loadFixture("hardware_status.hex").bytes;
    w.ctx().ShowReturnBuffer("40", hardware); // lines 2-5
    w.ctx().ShowReturnBuffer("40", hardware); // lines 8-11: the one the page shows
    w.ctx().ShowReturnBuffer("", QByteArray(16 * 40, 'A'));
    QCoreApplication::processEvents();
    ASSERT_EQ(w.form->currentPage(), PageId::HStatus);
    const auto visible = [&](int row) {
        return list->viewport()->rect().contains(list->visualRect(m.index(row, 0)));
    };
    ASSERT_FALSE(visible(8));

    // A click on a label: the tax ID over two lines, current and scrolled to.
    QTest::mouseClick(w.find<QLabel>("lbTaxID"), Qt::LeftButton);
    EXPECT_EQ(highlights(m), (std::map<int, std::string>{{8, "13+3"}, {9, "0+7"}}));
    EXPECT_EQ(list->currentIndex().row(), 8);
    EXPECT_TRUE(visible(8));
    EXPECT_TRUE(visible(9));

    // The mouse over the list: a hexadecimal pair, then a character, then gone.
    const qreal cw = QFontMetricsF(list->font()).horizontalAdvance(QString(66, '0')) / 66;
    const auto move = [&](int row, int column) {
        const QPoint at(ReturnBufferView::kTextMargin - list->horizontalScrollBar()->value() +
                            static_cast<int>((column + 0.5) * cw),
                        list->visualRect(m.index(row, 0)).center().y());
        QMouseEvent e(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &e);
    };
    move(8, hexdump::hexColumn(2) + 1);
    EXPECT_TRUE(toolTip(m, 8).startsWith("HardwareStatus: IdCode\n")) << toolTip(m, 8).toStdString();
    EXPECT_EQ(runs(m, 8), "2+3,13+3"); // pointed, and still the selected value
    move(8, hexdump::charColumn(6));
    EXPECT_TRUE(toolTip(m, 8).startsWith("HardwareStatus: IdNumber\n")) << toolTip(m, 8).toStdString();
    EXPECT_EQ(runs(m, 8), "5+8,13+3");
    move(8, hexdump::kHexWidth + 1); // the separator
    EXPECT_EQ(toolTip(m, 8), QString());
    EXPECT_EQ(runs(m, 8), "13+3");

    // Focus brought by the keyboard selects a check box; focus set by the program does not.
    QFocusEvent tab(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w.find<QWidget>("ckbSaleReceipt"), &tab);
    EXPECT_EQ(highlights(m), (std::map<int, std::string>{{9, "13+1"}}));
    QFocusEvent other(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(w.find<QWidget>("ckbRam"), &other);
    EXPECT_EQ(highlights(m), (std::map<int, std::string>{{9, "13+1"}}));

    // A grid cell: the department's name in the department answer.
    w.ctx().ShowReturnBuffer("92", loadFixture("departments.hex").bytes);
    QCoreApplication::processEvents();
    ASSERT_EQ(w.form->currentPage(), PageId::Upload);
    EXPECT_TRUE(highlights(m).empty()); // the new answer ended the mark
    auto* grid = w.find<QTableWidget>("sgrdUpload");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(2, 2)).center());
    const int first = m.lastAnswerRow(protocol::Departments::layout);
    EXPECT_EQ(highlights(m), (std::map<int, std::string>{{first + 3, "3+13"}, {first + 4, "0+7"}}));
    EXPECT_EQ(list->currentIndex().row(), first + 3);
}

TEST(ReturnBuffer, EveryShownValueNamesAControlOfItsPageAndBytesOfItsAnswer) {
    TestWindow w;
    const struct {
        PageId page;
        const protocol::Layout& layout;
        std::span<const answers::FieldLink> links;
    } pages[] = {{PageId::HStatus, protocol::HardwareStatus::layout, HStatusPage::fieldLinks()},
                 {PageId::SStatus, protocol::SoftwareStatus::layout, SStatusPage::fieldLinks()},
                 {PageId::PrnStatus, protocol::PrinterStatus::layout, PrnStatusPage::fieldLinks()},
                 {PageId::TaxRateUpload, protocol::TaxRates::layout, TaxRateUploadPage::fieldLinks()}};
    for (const auto& p : pages)
        for (const answers::FieldLink& link : p.links) {
            SCOPED_TRACE(link.control);
            EXPECT_NE(w.form->page(p.page)->findChild<QWidget*>(link.control), nullptr);
            EXPECT_GT(link.to(), link.from());
            EXPECT_LE(link.to(), p.layout.size);
        }
    for (const answers::GridLink* grid : {&UploadPage::kDepartmentGrid, &UploadPage::kHeaderLineGrid})
        for (const protocol::Field& f : grid->columns)
            EXPECT_LE(f.end(), grid->layout->recordSize) << f.name;
}

// The context menu: lines selected with Shift and the keys copied as shown,
// every line copied or written, and the menu in the language in use.
TEST(ReturnBuffer, ContextMenuCopiesTheSelectedLinesOrAllAndWritesThemAsText) {
    TestWindow w(/*withLanguage=*/true);
    auto* list = w.find<QAbstractItemView>("ListBox1");
    auto* model = w.ctx().returnBuffer;
    w.ctx().ShowReturnBuffer("47", QByteArray("P00"));
    w.ctx().ShowReturnBuffer("40", QByteArray(20, 'B'));
    ASSERT_EQ(model->rowCount(), 7);
    QString all;
    for (int row = 0; row < model->rowCount(); ++row)
        all += model->lineAt(row) + '\n';

    // From line 2 down two lines with Shift: lines 2 to 4.
    w.form->show();
    list->setFocus();
    list->setCurrentIndex(model->index(2, 0));
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              model->lineAt(2) + '\n' + model->lineAt(3) + '\n' + model->lineAt(4) + '\n');

    QApplication::clipboard()->clear();
    w.find<QAction>("actCopyLines")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
              model->lineAt(2) + '\n' + model->lineAt(3) + '\n' + model->lineAt(4) + '\n');

    std::unique_ptr<QMenu> menu(w.form->returnBufferMenu(nullptr));
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text();
    EXPECT_EQ(texts, QStringList({"Kopiuj", "Kopiuj wszystko", "Zapisz jako tekst..."}))
        << "scripted libraries have no Paper or Printer view";
    w.find<QAction>("actCopyAll")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), all);

    QBuffer file;
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(model->writeText(file));
    EXPECT_EQ(QString::fromUtf8(file.data()), all);
    w.click("Button3");
    menu.reset(w.form->returnBufferMenu(nullptr));
    EXPECT_FALSE(w.find<QAction>("actCopyAll")->isEnabled()) << "nothing to copy";
}
