#include "programming/PluFile.h"

#include "core/EntryRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <vector>

#include "codepage/Cp1250.h"
#include "platform/Platform.h"

namespace {

// Code page 1250, one byte to one character, so that line and field offsets of
// the decoded text are those of the file and every byte is written back as read.
void encodeAppend(QStringView s, QByteArray& out) {
    cp1250::encodeExactAppend(s, out);
}

QStringView withoutTrailingBlanks(QStringView s) {
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).unicode() <= 32)
        --n;
    return s.left(n);
}

const QString kTempMark = QStringLiteral(".~");
const QString kTempEnd = QStringLiteral(".tmp");

} // namespace

PluLoadStatus LoadPluFile(PluTable& table, const QString& path, QString* error) {
    table.PluFileName.clear();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return PluLoadStatus::NoFile;
    table.clear();
    CleanStaleSaveFiles(path);

    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = info.isDir() ? QStringLiteral("Is a directory") : file.errorString();
        return PluLoadStatus::Failed;
    }
    const qint64 fileSize = file.size();
    if (fileSize > PluTextList::kMaxText) {
        if (error)
            *error = QStringLiteral("The file is larger than 2 GB");
        return PluLoadStatus::Failed;
    }

    // One pass decodes the whole file into one text (one character per byte, so
    // offsets agree) and finds the lines and each line's field 2. Lines end with
    // CR LF, a bare CR or a bare LF; a last line without an end counts. Field 2
    // is the text after the first TAB and before the next; a line with fewer
    // than two TABs has none. The file is read in blocks into one small buffer,
    // so only the text and its spans take memory.
    const auto& decodeTable = cp1250::table();
    QString text(static_cast<qsizetype>(fileSize), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    std::vector<PluTextList::Span> lines;
    std::vector<PluTextList::Span> barcodes;
    const std::size_t estimate = static_cast<std::size_t>(fileSize / 40 + 1);
    lines.reserve(estimate);
    barcodes.reserve(estimate);
    qsizetype start = 0;
    qsizetype tab1 = -1;
    qsizetype tab2 = -1;
    bool afterCr = false; // the previous block ended with CR: a LF opening this one belongs to it
    auto endLine = [&](qsizetype end) {
        lines.push_back(PluTextList::span(start, end - start));
        barcodes.push_back(tab2 >= 0 ? PluTextList::span(tab1 + 1, tab2 - tab1 - 1)
                                     : PluTextList::span(start, 0));
        tab1 = tab2 = -1;
    };
    constexpr qint64 kBlock = 128 * 1024;
    std::vector<char> block(static_cast<std::size_t>(kBlock));
    qsizetype n = 0; // characters decoded so far
    for (;;) {
        const qint64 room = static_cast<qint64>(text.size()) - n;
        if (room <= 0)
            break; // the file grew while being read: what was there at the start counts
        const qint64 got = file.read(block.data(), std::min(kBlock, room));
        if (got < 0) {
            if (error)
                *error = file.errorString();
            return PluLoadStatus::Failed;
        }
        if (got == 0)
            break;
        const auto* p = reinterpret_cast<const unsigned char*>(block.data());
        for (qint64 k = 0; k < got; ++k, ++n) {
            const unsigned char c = p[k];
            out[n] = decodeTable[c];
            if (c > '\r') {
                afterCr = false;
                continue;
            }
            if (c == '\n' && afterCr) {
                afterCr = false;
                start = n + 1;
                continue;
            }
            afterCr = false;
            if (c == '\t') {
                if (tab1 < 0)
                    tab1 = n;
                else if (tab2 < 0)
                    tab2 = n;
            } else if (c == '\r' || c == '\n') {
                endLine(n);
                afterCr = c == '\r';
                start = n + 1;
            }
        }
    }
    text.truncate(n); // the file shrank while being read
    if (start < n)
        endLine(n);
    table.PluLines.assign(text, std::move(lines));
    table.PluBarcodes.assign(text, std::move(barcodes));
    table.rebuildIndex();
    table.PluFileName = path;
    return PluLoadStatus::Loaded;
}

int LookupPluBarcode(const PluTable& table, const QString& barcodeField) {
    if (table.PluBarcodes.isEmpty())
        return -1;
    return table.FindBarcode(withoutTrailingBlanks(barcodeField));
}

PluUpdateResult AddPluSoldQuantity(PluTable& table, const QString& barcode, bool isSale, double quantity,
                                   const QLocale& locale) {
    PluUpdateResult result;
    if (!table.loaded())
        return result;
    // The sale page found the article with trailing blanks removed; the update
    // looks it up the same way, so a sale it filled in is always counted.
    const int index = table.FindBarcode(withoutTrailingBlanks(barcode));
    if (index < 0 || index >= table.PluLines.size())
        return result;

    const QStringList fields = SplitText(table.PluLines.at(index), QStringLiteral("\t"));
    if (fields.size() < 6) {
        result.status = PluUpdateResult::BadLine;
        result.message = QStringLiteral("Line %1 of the article file \"%2\" has %3 field(s) where six are "
                                        "needed. Its sold quantity was not changed.")
                             .arg(index + 1)
                             .arg(QDir::toNativeSeparators(table.PluFileName))
                             .arg(fields.size());
        return result;
    }
    const QString soldText = fields.at(5);
    double sold = 0.0;
    if (!TryTextToAmount(soldText, sold, locale)) {
        result.status = PluUpdateResult::BadLine;
        result.message = QStringLiteral("'%1' is not a valid floating point value (sold quantity on line %2 "
                                        "of the article file \"%3\"). Its sold quantity was not changed.")
                             .arg(soldText)
                             .arg(index + 1)
                             .arg(QDir::toNativeSeparators(table.PluFileName));
        return result;
    }
    sold += isSale ? quantity : -quantity;

    const QString newLine = QStringList(fields.mid(0, 5)).join(u'\t') + u'\t' + FormatGeneral(sold, locale);

    const PluTextList& lines = table.PluLines;
    qsizetype total = 0;
    for (qsizetype i = 0; i < lines.size(); ++i)
        total += (i == index ? newLine.size() : lines.view(i).size()) + 2;
    QByteArray data;
    data.reserve(total);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        encodeAppend(i == index ? QStringView(newLine) : lines.view(i), data);
        data += "\r\n";
    }
    QString why;
    if (!SafeWriteFile(table.PluFileName, data, &why)) {
        result.status = PluUpdateResult::WriteFailed;
        result.message =
            QStringLiteral("The article file \"%1\" could not be saved: %2. The sale stands on the "
                           "printer; the file keeps its previous sold quantities.")
                .arg(QDir::toNativeSeparators(table.PluFileName), why);
        return result;
    }
    table.PluLines.replace(index, newLine);
    result.status = PluUpdateResult::Updated;
    return result;
}

QString SafeWriteTempPath(const QString& path) {
    return path + kTempMark + QString::number(platform::CurrentProcessId()) + kTempEnd;
}

int CleanStaleSaveFiles(const QString& path) {
    const QFileInfo info(path);
    const QString prefix = info.fileName() + kTempMark;
    QDir dir = info.absoluteDir();
    int removed = 0;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!name.startsWith(prefix) || !name.endsWith(kTempEnd))
            continue;
        const QString digits = name.mid(prefix.size(), name.size() - prefix.size() - kTempEnd.size());
        bool isNumber = false;
        const qint64 pid = digits.toLongLong(&isNumber);
        if (!isNumber || pid <= 0)
            continue;
        // A save under way in another running console keeps its file.
        if (pid != platform::CurrentProcessId() && platform::ProcessAlive(pid))
            continue;
        if (dir.remove(name))
            ++removed;
    }
    return removed;
}

namespace {
std::filesystem::path nativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}
} // namespace

bool SafeWriteFile(const QString& path, const QByteArray& data, QString* error) {
    // Writing through a symbolic link replaces the file it points to, not the link.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    std::string why;
    if (platform::WriteFileReplacing(
            nativePath(target), nativePath(SafeWriteTempPath(target)),
            std::string_view(data.constData(), static_cast<std::size_t>(data.size())), &why))
        return true;
    if (error)
        *error = QString::fromStdString(why);
    return false;
}
