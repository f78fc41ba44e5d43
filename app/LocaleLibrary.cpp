#include "app/LocaleLibrary.h"

#include <QCoreApplication>
#include <QDir>
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

} // namespace

TLocaleLibrary::TLocaleLibrary() = default;

TLocaleLibrary::~TLocaleLibrary() {
    // QLibrary does not unload on destruction; releasing the handle object here
    // leaves the library itself in memory, as the console expects.
}

bool TLocaleLibrary::Load(const QString& fileName, const QString& directory) {
    Unload();
    const QString name = bareLibraryName(fileName);
    if (name.isEmpty())
        return false;

    QStringList candidates;
    QString dir = directory;
    if (dir.isEmpty() && QCoreApplication::instance() != nullptr)
        dir = QCoreApplication::applicationDirPath();
    if (!dir.isEmpty() && !QDir::isAbsolutePath(name))
        candidates << QDir(dir).filePath(name);
    candidates << name; // the system's library search

    for (const QString& candidate : candidates) {
        auto library = std::make_unique<QLibrary>(candidate);
        if (!library->load())
            continue;
        auto fn = reinterpret_cast<GetStringFn>(library->resolve("GloskGetString"));
        if (fn == nullptr) {
            library->unload();
            continue;
        }
        handle_ = std::move(library);
        getString_ = fn;
        loaded_ = true;
        return true;
    }
    return false;
}

QString TLocaleLibrary::GetString(int id) const {
    if (!loaded_ || getString_ == nullptr || id < 0)
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
    loaded_ = false;
}

QString TLocaleLibrary::FileName() const {
    return loaded_ ? handle_->fileName() : QString();
}

QString LocaleString(const TLocaleLibrary* locale, int id) {
    return locale == nullptr ? QString() : locale->GetString(id);
}
