#include "programming/PluFile.h"

#include "receipt/EntryRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <array>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QCoreApplication>
#include <QSaveFile>
#endif

namespace {

// Code page 1250, one byte to one character, so that line and field offsets of
// the bytes and of the decoded text agree.
const std::array<char16_t, 256>& cp1250Table() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QStringDecoder dec("windows-1250");
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            QString s = dec.isValid() ? dec.decode(QByteArrayView(&c, 1)) : QString(QChar(b));
            dec.resetState();
            // A byte the code page leaves undefined keeps its own value, so that
            // every byte reads back as itself when the file is rewritten.
            const bool defined = s.size() == 1 && s.at(0) != QChar::ReplacementCharacter;
            t[static_cast<std::size_t>(b)] = defined ? s.at(0).unicode() : static_cast<char16_t>(b);
        }
        return t;
    }();
    return table;
}

const std::vector<unsigned char>& cp1250Reverse() {
    static const std::vector<unsigned char> reverse = [] {
        std::vector<unsigned char> r(65536, static_cast<unsigned char>('?'));
        const auto& table = cp1250Table();
        for (int b = 255; b >= 0; --b)
            r[table[static_cast<std::size_t>(b)]] = static_cast<unsigned char>(b);
        return r;
    }();
    return reverse;
}

void encodeAppend(const QString& s, QByteArray& out) {
    const auto& reverse = cp1250Reverse();
    const qsizetype at = out.size();
    out.resize(at + s.size());
    char* dst = out.data() + at;
    const QChar* src = s.constData();
    for (qsizetype i = 0; i < s.size(); ++i)
        dst[i] = static_cast<char>(reverse[src[i].unicode()]);
}

QString decode(QByteArrayView bytes) {
    const auto& table = cp1250Table();
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(table[static_cast<unsigned char>(bytes[i])]);
    return s;
}

// Field 2 of a line: the text after the first TAB and before the next; a line
// with fewer than two TABs has none.
QString barcodeOf(QStringView line) {
    const qsizetype first = line.indexOf(u'\t');
    if (first < 0)
        return QString();
    const qsizetype second = line.indexOf(u'\t', first + 1);
    if (second < 0)
        return QString();
    return line.mid(first + 1, second - first - 1).toString();
}

QString withoutTrailingBlanks(const QString& s) {
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
    table.PluLines.clear();
    table.PluBarcodes.clear();
    table.barcodeIndex.clear();
    CleanStaleSaveFiles(path);

    QFile file(path);
    QByteArray data;
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = info.isDir() ? QStringLiteral("Is a directory") : file.errorString();
        return PluLoadStatus::Failed;
    }
    data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return PluLoadStatus::Failed;
    }

    // Lines end with CR LF, a bare CR or a bare LF; a last line without an end counts.
    const char* p = data.constData();
    const qsizetype n = data.size();
    qsizetype start = 0;
    const qsizetype estimate = n / 40 + 1;
    table.PluLines.reserve(estimate);
    table.PluBarcodes.reserve(estimate);
    auto addLine = [&](qsizetype from, qsizetype to) {
        QString line = decode(QByteArrayView(p + from, to - from));
        table.PluBarcodes.append(barcodeOf(line));
        table.PluLines.append(std::move(line));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char c = p[i];
        if (c != '\r' && c != '\n')
            continue;
        addLine(start, i);
        if (c == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        addLine(start, n);
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

    const QString oldLine = table.PluLines.at(index);
    table.PluLines[index] = QStringList(fields.mid(0, 5)).join(u'\t') + u'\t' + FormatGeneral(sold, locale);

    qsizetype total = 0;
    for (const QString& l : std::as_const(table.PluLines))
        total += l.size() + 2;
    QByteArray data;
    data.reserve(total);
    for (const QString& l : std::as_const(table.PluLines)) {
        encodeAppend(l, data);
        data += "\r\n";
    }
    QString why;
    if (!SafeWriteFile(table.PluFileName, data, &why)) {
        table.PluLines[index] = oldLine;
        result.status = PluUpdateResult::WriteFailed;
        result.message =
            QStringLiteral("The article file \"%1\" could not be saved: %2. The sale stands on the "
                           "printer; the file keeps its previous sold quantities.")
                .arg(QDir::toNativeSeparators(table.PluFileName), why);
        return result;
    }
    result.status = PluUpdateResult::Updated;
    return result;
}

QString SafeWriteTempPath(const QString& path) {
#ifdef Q_OS_UNIX
    const qint64 pid = ::getpid();
#else
    const qint64 pid = QCoreApplication::applicationPid();
#endif
    return path + kTempMark + QString::number(pid) + kTempEnd;
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
#ifdef Q_OS_UNIX
        // A save under way in another running console keeps its file.
        const bool alive = pid != ::getpid() && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
        if (alive)
            continue;
#endif
        if (dir.remove(name))
            ++removed;
    }
    return removed;
}

#ifdef Q_OS_UNIX
namespace {
QString errnoText(int e) {
    return QString::fromLocal8Bit(std::strerror(e));
}
} // namespace

bool SafeWriteFile(const QString& path, const QByteArray& data, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    // Writing through a symbolic link replaces the file it points to, not the link.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    const QByteArray finalName = QFile::encodeName(target);
    const QByteArray tempName = QFile::encodeName(SafeWriteTempPath(target));
    const QByteArray dirName = QFile::encodeName(QFileInfo(target).absolutePath());

    const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(errnoText(errno));
    struct stat st {};
    if (::stat(finalName.constData(), &st) == 0)
        (void)::fchmod(fd, st.st_mode & 07777);
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t w = ::write(fd, p, static_cast<size_t>(left));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            ::close(fd);
            ::unlink(tempName.constData());
            return fail(errnoText(e));
        }
        p += w;
        left -= w;
    }
    if (::fsync(fd) != 0) {
        const int e = errno;
        ::close(fd);
        ::unlink(tempName.constData());
        return fail(errnoText(e));
    }
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(tempName.constData());
        return fail(errnoText(e));
    }
    if (::rename(tempName.constData(), finalName.constData()) != 0) {
        const int e = errno;
        ::unlink(tempName.constData());
        return fail(errnoText(e));
    }
    // Make the rename itself durable. A folder that cannot be synced (some file
    // systems refuse) still holds the complete new file.
    const int dfd = ::open(dirName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    return true;
}
#else
bool SafeWriteFile(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
#endif
