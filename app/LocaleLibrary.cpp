#include "app/LocaleLibrary.h"

#include "app/PeStringTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <array>
#include <cstring>

namespace {

// Removes a Windows library suffix on other platforms, so the console can name
// its library the same way everywhere; QLibrary adds the platform's own prefix
// and suffix to a bare name.
QString bareLibraryName(QString name) {
#if !defined(Q_OS_WIN)
    if (name.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive))
        name.chop(4);
#endif
    return name;
}

// A language library is a few hundred kilobytes; a larger file is no string table.
constexpr qint64 kMaxTableFileSize = qint64{64} << 20;

} // namespace

TLocaleLibrary::TLocaleLibrary() = default;

TLocaleLibrary::~TLocaleLibrary() {
    // QLibrary does not unload on destruction; releasing the handle object here
    // leaves the library itself in memory, as the console expects.
}

bool TLocaleLibrary::Load(const QString& fileName, const QString& directory) {
    Unload();
    loadError_.clear();
    if (bareLibraryName(fileName).isEmpty()) {
        loadError_ = QStringLiteral("no library name given");
        return false;
    }
    QString dir = directory;
    if (dir.isEmpty() && QCoreApplication::instance() != nullptr)
        dir = QCoreApplication::applicationDirPath();

    if (LoadMakerTable(fileName, dir) || LoadOwnLibrary(fileName, dir)) {
        loadError_.clear();
        return true;
    }
    return false;
}

bool TLocaleLibrary::LoadMakerTable(const QString& fileName, const QString& directory) {
    if (directory.isEmpty() && !QDir::isAbsolutePath(fileName))
        return false;
    const QFileInfo wanted(QDir(directory).filePath(fileName));
    QString name = wanted.fileName();
    if (!name.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive))
        name += QLatin1String(".dll");
    // Any case of the name, also where file names are case-sensitive; the
    // exact spelling first.
    const QDir folder = wanted.absoluteDir();
    QString found;
    for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (entry == name) {
            found = entry;
            break;
        }
        if (found.isEmpty() && entry.compare(name, Qt::CaseInsensitive) == 0)
            found = entry;
    }
    if (found.isEmpty())
        return false;

    const QString path = folder.absoluteFilePath(found);
    const QString shown = QDir::toNativeSeparators(path) + QLatin1String(": ");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loadError_ = shown + file.errorString();
        return false;
    }
    const QByteArray bytes = file.read(kMaxTableFileSize + 1);
    if (bytes.size() > kMaxTableFileSize) {
        loadError_ =
            shown + QStringLiteral("larger than %1 MiB, no language library").arg(kMaxTableFileSize >> 20);
        return false;
    }
    auto table = std::make_unique<PeStringTable>();
    if (!table->parse(bytes)) {
        loadError_ = shown + table->error();
        return false;
    }
    table_ = std::move(table);
    tableFile_ = path;
    loaded_ = true;
    return true;
}

bool TLocaleLibrary::LoadOwnLibrary(const QString& fileName, const QString& directory) {
    const QString name = bareLibraryName(fileName);
    QStringList candidates;
    if (!directory.isEmpty() && !QDir::isAbsolutePath(name))
        candidates << QDir(directory).filePath(name);
    candidates << name; // the system's library search

    QStringList errors;
    if (!loadError_.isEmpty())
        errors << loadError_;
    for (const QString& candidate : candidates) {
        auto library = std::make_unique<QLibrary>(candidate);
        if (!library->load()) {
            errors << library->errorString();
            continue;
        }
        auto fn = reinterpret_cast<GetStringFn>(library->resolve("GloskGetString"));
        if (fn == nullptr) {
            errors << QDir::toNativeSeparators(library->fileName()) +
                          QStringLiteral(": exports no GloskGetString");
            library->unload();
            continue;
        }
        handle_ = std::move(library);
        getString_ = fn;
        loaded_ = true;
        return true;
    }
    loadError_ = errors.join(QLatin1String("; "));
    return false;
}

QString TLocaleLibrary::GetString(int id) const {
    if (!loaded_ || id < 0)
        return QString();
    if (table_ != nullptr)
        return table_->string(id, kBufferSize - 1);
    if (getString_ == nullptr)
        return QString();

    // UTF-8 needs up to four bytes a character; the library cuts at character
    // boundaries, and the result is then limited to kBufferSize - 1 characters.
    std::array<char, kBufferSize * 4> buffer{};
    const int size = static_cast<int>(buffer.size());
    const int count = getString_(static_cast<unsigned int>(id), buffer.data(), size);
    if (count <= 0)
        return QString();
    // Trust neither the count nor the terminator of a foreign library.
    buffer[buffer.size() - 1] = '\0';
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(std::min(count, size - 1)),
                                                     std::strlen(buffer.data()));
    QString text = QString::fromUtf8(buffer.data(), static_cast<qsizetype>(length));
    if (text.size() > kBufferSize - 1) {
        qsizetype cut = kBufferSize - 1;
        if (text.at(cut - 1).isHighSurrogate())
            --cut;
        text.truncate(cut);
    }
    return text;
}

void TLocaleLibrary::Unload() {
    if (handle_ != nullptr)
        handle_->unload();
    handle_.reset();
    getString_ = nullptr;
    table_.reset();
    tableFile_.clear();
    loaded_ = false;
}

QString TLocaleLibrary::FileName() const {
    if (!loaded_)
        return QString();
    return table_ != nullptr ? tableFile_ : handle_->fileName();
}

QString LocaleString(const TLocaleLibrary* locale, int id) {
    return locale == nullptr ? QString() : locale->GetString(id);
}
