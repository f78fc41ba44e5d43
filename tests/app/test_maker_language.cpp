// The maker's language library read as it is: the PE string table reader on
// files made here (sound and damaged), and a resource-only Glosk.dll built by
// MinGW's resource compiler loaded through the locale object and the window.
#include "TestWindow.h"
#include "app/LocaleLibrary.h"
#include "app/PeStringTable.h"

#include <QAbstractButton>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// ---- PE files made in memory ----------------------------------------------

struct Language {
    std::uint16_t id;
    std::vector<std::u16string> strings; // the block's strings from its first, up to 16
};
struct Block {
    std::uint32_t number;
    std::vector<Language> languages; // written in this order
};

// A PE file with one section holding the resource directory, and where its
// parts are, for the damage done to it below.
struct PeFile {
    QByteArray bytes;
    int optional = 0;     // file offset of the optional header
    int countAt = 0;      // of the number of data directories, from `optional`
    int sectionTable = 0; // file offset
    int rsrc = 0x200;     // file offset of the resource section (address 0x1000)
    int typeDir = 0x18;   // the string table's directory, from `rsrc`
    int firstLanguages = 0, firstDataEntry = 0, firstData = 0; // of the first block, from `rsrc`
};

void put16(QByteArray& b, int at, std::uint32_t v) {
    if (b.size() < at + 2)
        b.resize(at + 2, '\0');
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32(QByteArray& b, int at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

PeFile makePe(bool pe32Plus, const std::vector<Block>& blocks) {
    PeFile f;
    // The resource section: directories, then data entries, then the blocks.
    QByteArray r;
    int languageCount = 0;
    for (const Block& b : blocks)
        languageCount += static_cast<int>(b.languages.size());
    const int typeDirEnd = f.typeDir + 16 + 8 * static_cast<int>(blocks.size());
    int dirAt = typeDirEnd;
    int entryAt = dirAt;
    for (const Block& b : blocks)
        entryAt += 16 + 8 * static_cast<int>(b.languages.size());
    int dataAt = entryAt + 16 * languageCount;
    f.firstLanguages = dirAt;
    f.firstDataEntry = entryAt;
    f.firstData = dataAt;

    put16(r, 14, 1); // root: one numbered entry, the string type
    put32(r, 16, 6);
    put32(r, 20, 0x80000000u | static_cast<std::uint32_t>(f.typeDir));
    put16(r, f.typeDir + 14, static_cast<std::uint32_t>(blocks.size()));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Block& b = blocks[i];
        const int at = f.typeDir + 16 + 8 * static_cast<int>(i);
        put32(r, at, b.number);
        put32(r, at + 4, 0x80000000u | static_cast<std::uint32_t>(dirAt));
        put16(r, dirAt + 14, static_cast<std::uint32_t>(b.languages.size()));
        for (std::size_t j = 0; j < b.languages.size(); ++j) {
            put32(r, dirAt + 16 + 8 * static_cast<int>(j), b.languages[j].id);
            put32(r, dirAt + 20 + 8 * static_cast<int>(j), static_cast<std::uint32_t>(entryAt));
            QByteArray data;
            for (std::size_t k = 0; k < 16; ++k) {
                const std::u16string s = k < b.languages[j].strings.size() ? b.languages[j].strings[k] : u"";
                put16(data, static_cast<int>(data.size()), static_cast<std::uint32_t>(s.size()));
                for (char16_t c : s)
                    put16(data, static_cast<int>(data.size()), c);
            }
            put32(r, entryAt, 0x1000u + static_cast<std::uint32_t>(dataAt));
            put32(r, entryAt + 4, static_cast<std::uint32_t>(data.size()));
            r.resize(dataAt, '\0');
            r.append(data);
            entryAt += 16;
            dataAt += static_cast<int>(data.size());
        }
        dirAt += 16 + 8 * static_cast<int>(b.languages.size());
    }

    QByteArray& h = f.bytes;
    h.resize(f.rsrc, '\0');
    put16(h, 0, 0x5A4D);
    put32(h, 0x3C, 0x40);
    put32(h, 0x40, 0x00004550);
    put16(h, 0x44, pe32Plus ? 0x8664 : 0x14C);
    put16(h, 0x46, 1); // one section
    const int optionalSize = pe32Plus ? 240 : 224;
    put16(h, 0x54, static_cast<std::uint32_t>(optionalSize));
    f.optional = 0x58;
    f.countAt = pe32Plus ? 108 : 92;
    put16(h, f.optional, pe32Plus ? 0x20B : 0x10B);
    put32(h, f.optional + f.countAt, 16);
    put32(h, f.optional + f.countAt + 4 + 16, 0x1000);
    put32(h, f.optional + f.countAt + 4 + 20, static_cast<std::uint32_t>(r.size()));
    f.sectionTable = f.optional + optionalSize;
    h.replace(f.sectionTable, 5, ".rsrc");
    put32(h, f.sectionTable + 8, static_cast<std::uint32_t>(r.size()));
    put32(h, f.sectionTable + 12, 0x1000);
    put32(h, f.sectionTable + 16, static_cast<std::uint32_t>(r.size()));
    put32(h, f.sectionTable + 20, static_cast<std::uint32_t>(f.rsrc));
    h.append(r);
    return f;
}

const std::u16string kLongTwoByte(1100, u'ż');
const std::u16string kLongPairs = [] {
    std::u16string s;
    for (int i = 0; i < 700; ++i)
        s += u"\U0001F600";
    return s;
}();

// Blocks that exercise the choice of language and the ends of the id range.
std::vector<Block> sampleBlocks() {
    return {
        {689,
         {{0x0409, {u"", u"", u"Daily X report"}},
          {0x0415, {u"", u"", u"Raport dzienny X", u"", u"", u"", u"Sprzedaż"}}}},
        {657, {{0x0409, {u"", u"", u"", u"", u"Back to menu"}}, {0x0400, {u"", u"", u"", u"", u"Powrót"}}}},
        {711, {{0x0407, {u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"Fehler"}}, {0x0409, {}}}},
        {1,
         {{0x0409,
           {u"zero", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"",
            std::u16string(u"ab\0c", 4)}}}},
        {4096,
         {{0x0415, {u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"ostatni"}}}},
        {4097, {{0x0415, {u"beyond the 16-bit identifiers"}}}},
        {100, {{0x0415, {kLongTwoByte, kLongPairs}}}},
    };
}

QString q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

TEST(PeStringTable, ReadsPolishElseNeutralElseFirstFromBothKindsOfFile) {
    for (const bool pe32Plus : {false, true}) {
        SCOPED_TRACE(pe32Plus ? "PE32+" : "PE32");
        PeStringTable table;
        ASSERT_TRUE(table.parse(makePe(pe32Plus, sampleBlocks()).bytes)) << table.error().toStdString();
        EXPECT_EQ(table.status(), PeStringTable::Status::Ok);
        EXPECT_TRUE(table.error().isEmpty());
        EXPECT_EQ(table.ids(), QList<int>({0, 15, 1584, 1585, 10500, 11010, 11014, 11370, 65535}));
        EXPECT_EQ(table.string(11010), QStringLiteral("Raport dzienny X")); // Polish over English
        EXPECT_EQ(table.string(11014), QString::fromUtf8("Sprzedaż"));
        EXPECT_EQ(table.string(10500), QString::fromUtf8("Powrót")); // neutral over English
        EXPECT_EQ(table.string(11370), QStringLiteral("Fehler"));    // neither: the first
        EXPECT_EQ(table.string(0), QStringLiteral("zero"));
        EXPECT_EQ(table.string(15), QStringLiteral("ab")); // up to the nul
        EXPECT_EQ(table.string(65535), QStringLiteral("ostatni"));
        EXPECT_TRUE(table.string(11011).isEmpty());
        EXPECT_TRUE(table.string(-1).isEmpty());
        EXPECT_TRUE(table.string(70000).isEmpty());
        EXPECT_EQ(table.string(1584), q(kLongTwoByte));
        EXPECT_EQ(table.string(1584, 1023), q(kLongTwoByte.substr(0, 1023)));
        EXPECT_EQ(table.string(1585, 1023).size(), 1022); // the pair at the cut goes whole
        EXPECT_EQ(table.string(1585, 1023), q(kLongPairs.substr(0, 1022)));
    }
}

struct Damage {
    const char* what;
    std::function<void(PeFile&)> apply;
    PeStringTable::Status status;
    const char* error; // part of the error text
};

TEST(PeStringTable, DamagedFilesGiveAClearErrorAndNoStrings) {
    using S = PeStringTable::Status;
    const auto at = [](PeFile& f, int offset, std::uint32_t v) { put32(f.bytes, offset, v); };
    const std::vector<Damage> cases = {
        {"empty", [](PeFile& f) { f.bytes.clear(); }, S::NotPe, "no MZ signature"},
        {"an ELF file",
         [](PeFile& f) {
             f.bytes = QByteArray("\x7f"
                                  "ELF\2\1\1",
                                  7)
                           .leftJustified(300, '\0');
         },
         S::NotPe, "no MZ signature"},
        {"cut in the DOS header", [](PeFile& f) { f.bytes.truncate(20); }, S::Damaged,
         "ends inside its DOS header (64 bytes needed, 20 present)"},
        {"PE header past the end", [&](PeFile& f) { at(f, 0x3C, 0x7FFFFFF0); }, S::Damaged,
         "the PE header at 0x7ffffff0 lies past the end of the file"},
        {"a DOS program", [&](PeFile& f) { at(f, 0x40, 0x454E); }, S::NotPe, "no PE signature at 0x40"},
        {"a ROM image", [](PeFile& f) { put16(f.bytes, f.optional, 0x107); }, S::Damaged,
         "unknown optional header kind 0x107"},
        {"optional header too short", [](PeFile& f) { put16(f.bytes, 0x54, 40); }, S::Damaged,
         "(40 bytes) is too short for its data directories"},
        {"two data directories", [&](PeFile& f) { at(f, f.optional + f.countAt, 2); }, S::NoStringTable,
         "no resource directory"},
        {"no resources", [&](PeFile& f) { at(f, f.optional + f.countAt + 4 + 16, 0); }, S::NoStringTable,
         "no resources"},
        {"65535 sections", [](PeFile& f) { put16(f.bytes, 0x46, 0xFFFF); }, S::Damaged,
         "claims 65535 sections, more than 96"},
        {"cut in the section table",
         [&](PeFile& f) {
             put16(f.bytes, 0x46, 2);
             f.bytes.truncate(f.sectionTable + 60);
         },
         S::Damaged, "ends inside the section table (2 sections"},
        {"resources in no section", [&](PeFile& f) { at(f, f.optional + f.countAt + 4 + 16, 0x9000); },
         S::Damaged, "the resource directory at address 0x9000 lies in no section"},
        {"section data outside the file", [&](PeFile& f) { at(f, f.sectionTable + 20, 0x10000000); },
         S::Damaged, "the file ends inside the resource directory (bytes 0x10000000 to"},
        {"huge count", [](PeFile& f) { put16(f.bytes, f.rsrc + 12, 0xFFFF); }, S::Damaged,
         "the resource directory at 0x0 lists 65536 entries, more than the resource section holds"},
        {"directory outside the section", [&](PeFile& f) { at(f, f.rsrc + 20, 0xFFFF0000); }, S::Damaged,
         "the string table at 0x7fff0000 lies outside the resource section"},
        {"directory pointing at the root", [&](PeFile& f) { at(f, f.rsrc + 20, 0x80000000); }, S::Damaged,
         "names a directory, not data"},
        {"strings named data", [&](PeFile& f) { at(f, f.rsrc + 20, 0x18); }, S::Damaged,
         "the string table's entry names data"},
        {"block without languages", [](PeFile& f) { put16(f.bytes, f.rsrc + f.firstLanguages + 14, 0); },
         S::Damaged, "string block 689 has no language"},
        {"languages outside", [&](PeFile& f) { at(f, f.rsrc + f.typeDir + 20, 0x80000000u | 0x7FFFFFF0); },
         S::Damaged, "the languages of string block 689 at 0x7ffffff0 lies outside the resource section"},
        {"data entry outside", [&](PeFile& f) { at(f, f.rsrc + f.firstLanguages + 20, 0x7FFFFFF0); },
         S::Damaged, "the data entry of string block 689 at 0x7ffffff0 lies outside the resource section"},
        {"strings in no section", [&](PeFile& f) { at(f, f.rsrc + f.firstDataEntry, 0x00F00000); },
         S::Damaged, "the strings of block 689 at address 0xf00000 lies in no section"},
        {"strings larger than their section",
         [&](PeFile& f) { at(f, f.rsrc + f.firstDataEntry + 4, 0x7FFFFFFF); }, S::Damaged,
         "the strings of block 689 (2147483647 bytes"},
        {"a string past its block", [](PeFile& f) { put16(f.bytes, f.rsrc + f.firstData, 0xFFFF); },
         S::Damaged, "string 11008 (65535 characters) runs past the end of its block"},
        {"a block cut short", [&](PeFile& f) { at(f, f.rsrc + f.firstDataEntry + 4, 12); }, S::Damaged,
         "string block 689 (12 bytes) ends before string 11010"},
        {"no string type", [&](PeFile& f) { at(f, f.rsrc + 16, 3); }, S::NoStringTable,
         "has resources but no string table"},
        {"only empty strings",
         [](PeFile& f) {
             f = makePe(true, {{5, {{0x0415, {}}}}});
         },
         S::NoStringTable, "holds no strings"},
    };
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.what);
        PeFile f = makePe(true, {{689, {{0x0415, {u"Port", u"", u"Raport X"}}}}});
        c.apply(f);
        PeStringTable table;
        EXPECT_FALSE(table.parse(f.bytes));
        EXPECT_EQ(table.status(), c.status);
        EXPECT_TRUE(table.error().contains(QLatin1String(c.error))) << table.error().toStdString();
        EXPECT_EQ(table.count(), 0);
        EXPECT_TRUE(table.string(11010).isEmpty());
    }
}

// Every shorter piece of a sound file is refused with a reason, except pieces
// that lose no more than `mayLose` bytes of padding: those read the same strings.
void expectCutsRefused(const QByteArray& bytes, qsizetype mayLose) {
    PeStringTable whole;
    ASSERT_TRUE(whole.parse(bytes)) << whole.error().toStdString();
    PeStringTable table;
    for (qsizetype size = 0; size < bytes.size(); ++size) {
        if (table.parse(bytes.left(size))) {
            EXPECT_LE(bytes.size() - size, mayLose) << "cut at " << size << " accepted";
            EXPECT_EQ(table.ids(), whole.ids());
            for (int id : whole.ids())
                EXPECT_EQ(table.string(id), whole.string(id)) << id;
        } else {
            EXPECT_FALSE(table.error().isEmpty()) << "cut at " << size;
        }
    }
}

TEST(PeStringTable, EveryCutOfAFileIsRefused) {
    expectCutsRefused(makePe(false, sampleBlocks()).bytes, 0);
}

// ---- the resource-only library built by MinGW -----------------------------

#ifdef MAKER_GLOSK_DIR
const QString kMakerDir = QStringLiteral(MAKER_GLOSK_DIR);
#else
const QString kMakerDir;
#endif

QByteArray makerLibrary() {
    QFile file(kMakerDir + QStringLiteral("/Glosk.dll"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

#define NEED_MAKER_LIBRARY()                                                                                 \
    if (kMakerDir.isEmpty())                                                                                 \
    GTEST_SKIP() << "MinGW's resource compiler was not found: no resource-only Glosk.dll was built"

void copyInto(const QString& from, const QString& to) {
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString() << " -> " << to.toStdString();
}

TEST(MakerLanguageLibrary, ItsStringTableIsReadAsItIs) {
    NEED_MAKER_LIBRARY();
    const QByteArray bytes = makerLibrary();
    PeStringTable table;
    ASSERT_TRUE(table.parse(bytes)) << table.error().toStdString();
    EXPECT_EQ(table.ids(), QList<int>({10500, 11001, 11010, 11014, 11016, 11019, 11370, 11372}));
    expectCutsRefused(bytes, 0x1FF); // the last section's padding to 512 bytes

    TLocaleLibrary locale;
    ASSERT_TRUE(locale.Load(QStringLiteral("Glosk"), kMakerDir)) << locale.LoadError().toStdString();
    EXPECT_EQ(locale.FileName(), kMakerDir + QStringLiteral("/Glosk.dll"));
    EXPECT_EQ(locale.GetString(11001), QString::fromUtf8("Połącz się"));
    EXPECT_EQ(locale.GetString(11010), QStringLiteral("Raport dzienny X")); // Polish over English
    EXPECT_EQ(locale.GetString(10500), QStringLiteral("Back to the menu")); // English only
    EXPECT_EQ(locale.GetString(11372), QString::fromUtf8("Uwaga: pamięć SRAM zostanie skasowana."));
    EXPECT_TRUE(locale.GetString(11011).isEmpty());
    locale.Unload();
    EXPECT_TRUE(locale.FileName().isEmpty());
    EXPECT_TRUE(locale.GetString(11001).isEmpty());
}

TEST(MakerLanguageLibrary, AnyCaseOfItsNameAndItWinsOverOurOwn) {
    NEED_MAKER_LIBRARY();
    QTemporaryDir dir;
    copyInto(kMakerDir + QStringLiteral("/Glosk.dll"), dir.filePath(QStringLiteral("gLOSK.DLL")));
    copyInto(QStringLiteral(CONSOLE_BIN_DIR "/libGlosk.so"), dir.filePath(QStringLiteral("libGlosk.so")));
    for (const QString& name :
         {QStringLiteral("Glosk"), QStringLiteral("Glosk.dll"), QStringLiteral("GLOSK.dll")}) {
        TLocaleLibrary locale;
        ASSERT_TRUE(locale.Load(name, dir.path())) << name.toStdString();
        EXPECT_EQ(locale.FileName(), dir.filePath(QStringLiteral("gLOSK.DLL")));
        EXPECT_EQ(locale.GetString(11014), QString::fromUtf8("Sprzedaż towarów"));
    }
}

TEST(MakerLanguageLibrary, ADamagedOneGivesWayToOurOwnOrFailsWithItsReason) {
    NEED_MAKER_LIBRARY();
    QTemporaryDir dir;
    QFile broken(dir.filePath(QStringLiteral("Glosk.dll")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(makerLibrary().left(0x300));
    broken.close();
    copyInto(QStringLiteral(CONSOLE_BIN_DIR "/libGlosk.so"), dir.filePath(QStringLiteral("libGlosk.so")));

    TLocaleLibrary locale;
    ASSERT_TRUE(locale.Load(QStringLiteral("Glosk"), dir.path()));
    EXPECT_EQ(locale.FileName(), dir.filePath(QStringLiteral("libGlosk.so")));
    EXPECT_EQ(locale.GetString(11014), QString::fromUtf8("Sprzedaż")); // lang/strings.txt
    EXPECT_TRUE(locale.LoadError().isEmpty());

    ASSERT_TRUE(QFile::rename(broken.fileName(), dir.filePath(QStringLiteral("Broken.dll"))));
    EXPECT_FALSE(locale.Load(QStringLiteral("Broken"), dir.path()));
    EXPECT_FALSE(locale.IsLoaded());
    EXPECT_TRUE(
        locale.LoadError().startsWith(dir.filePath(QStringLiteral("Broken.dll: the file ends inside"))))
        << locale.LoadError().toStdString();
}

TEST(MakerLanguageLibrary, TheMainWindowTakesItsCaptions) {
    NEED_MAKER_LIBRARY();
    testApplication();
    QTemporaryDir programDir;
    ScriptedDevice user{"user"};
    ScriptedDevice service{"service"};
    RecordingMessages messages;
    TMainForm::Options options;
    options.programDir = programDir.path();
    options.languageDir = kMakerDir;
    TMainForm form(dev::DeviceSet{&user, &service}, messages, options);

    EXPECT_TRUE(messages.boxes.empty()); // no "Can not load Glosk.dll"
    ASSERT_NE(form.context().locale, nullptr);
    EXPECT_EQ(form.context().locale->FileName(), kMakerDir + QStringLiteral("/Glosk.dll"));
    const auto caption = [&form](const char* name) {
        auto* button = form.findChild<QAbstractButton*>(QString::fromLatin1(name));
        return button != nullptr ? button->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
    };
    EXPECT_EQ(caption("btnOnline"), QString::fromUtf8("Połącz się"));
    EXPECT_EQ(caption("bbtnXReport"), QStringLiteral("Raport dzienny X"));
    EXPECT_EQ(caption("bbtnSale"), QString::fromUtf8("Sprzedaż towarów"));
    EXPECT_EQ(caption("bbtnPaidOut"), QString::fromUtf8("Wypłata gotówki"));
    EXPECT_EQ(caption("bbtnChkPrn"), QString::fromUtf8("Wyświetl stan drukarki"));
    EXPECT_EQ(caption("BackBtn1"), QStringLiteral("Back to the menu")); // English only
    EXPECT_EQ(caption("bbtnZReport"), QString());                       // not in this library
    EXPECT_EQ(form.context().texts.errorCaption, QString::fromUtf8("Błąd drukarki"));
}

} // namespace
