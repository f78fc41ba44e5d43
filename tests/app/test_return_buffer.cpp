#include "TestWindow.h"
#include "core/AnswerDispatch.h"
#include "core/HexDump.h"
#include "core/ReturnBufferModel.h"

#include <QAbstractItemView>
#include <QScrollBar>

#include <gtest/gtest.h>

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
