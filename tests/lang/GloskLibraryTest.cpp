// The language library's C interface, called directly on the built library.
#include "Glosk.h"

#include <QLibrary>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class GloskLibrary : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        library_ = new QLibrary(QStringLiteral(GLOSK_TEST_DIR "/GloskTest"));
        ASSERT_TRUE(library_->load()) << library_->errorString().toStdString();
        get_ = reinterpret_cast<GloskGetStringFn>(library_->resolve("GloskGetString"));
        ASSERT_NE(get_, nullptr);
    }
    static void TearDownTestSuite() {
        delete library_;
        library_ = nullptr;
    }

    static inline QLibrary* library_ = nullptr;
    static inline GloskGetStringFn get_ = nullptr;
};

TEST_F(GloskLibrary, CopiesTheStringAndReportsItsLength) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    const int32_t n = get_(11014, buffer, sizeof buffer);
    EXPECT_EQ(n, static_cast<int32_t>(std::strlen("Sprzedaż")));
    EXPECT_STREQ(buffer, "Sprzedaż");
}

TEST_F(GloskLibrary, MissingIdsGiveMinusOneAndLeaveTheBufferAlone) {
    char buffer[8] = "keep";
    EXPECT_EQ(get_(11015, buffer, sizeof buffer), -1);
    EXPECT_EQ(get_(0, buffer, sizeof buffer), -1);
    EXPECT_EQ(get_(0xFFFFFFFFu, buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "keep");
}

TEST_F(GloskLibrary, SizingCallWritesNothing) {
    EXPECT_EQ(get_(90001, nullptr, 0), 3000);
    char buffer[4] = "abc";
    EXPECT_EQ(get_(90001, buffer, 0), 3000);
    EXPECT_EQ(get_(90001, buffer, -5), 3000);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(get_(80000, nullptr, 0), 0); // present but empty
}

TEST_F(GloskLibrary, TruncatesAtCharacterBoundariesAndAlwaysTerminates) {
    // "Sprzedaż": seven ASCII bytes, then the two bytes of "ż".
    for (int32_t size = 1; size <= 12; ++size) {
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        const int32_t n = get_(11014, buffer, size);
        const int32_t expected = size - 1 >= 9 ? 9 : (size - 1 == 8 ? 7 : size - 1);
        EXPECT_EQ(n, expected) << "buffer size " << size;
        EXPECT_EQ(buffer[n], '\0');
        EXPECT_EQ(buffer[size], '#') << "wrote past the buffer of " << size;
        EXPECT_EQ(std::string(buffer, n), std::string("Sprzedaż").substr(0, n));
    }
}

TEST_F(GloskLibrary, FourByteSequencesAreNeverSplit) {
    // "😀" repeated: four bytes each.
    for (int32_t size = 1; size <= 12; ++size) {
        char buffer[16];
        const int32_t n = get_(90002, buffer, size);
        EXPECT_EQ(n, (size - 1) / 4 * 4) << "buffer size " << size;
    }
}

TEST_F(GloskLibrary, TableEscapesAreDecoded) {
    char buffer[64];
    ASSERT_GT(get_(11100, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "Narzut\tz tabulatorem\\n\r\n");
}

TEST(GloskExports, OnlyTheOneFunctionIsVisible) {
    QLibrary library(QStringLiteral(GLOSK_DIR "/Glosk"));
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    EXPECT_NE(library.resolve("GloskGetString"), nullptr);
    EXPECT_EQ(library.resolve("_ZN5glosk8kEntriesE"), nullptr);
    EXPECT_EQ(library.resolve("_ZN5glosk5kTextE"), nullptr);
}

} // namespace
