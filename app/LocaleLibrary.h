#pragma once
// The locale object: the console's link to its language library (Glosk), which
// holds the localised captions and messages by number. Every localised format
// text is filled in through SafeFormat.

#include "core/SafeFormat.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class PeStringTable;
class QLibrary;

class TLocaleLibrary {
  public:
    // Size of the buffer a string is fetched into, in characters; a string is
    // at most one character shorter.
    static constexpr int kBufferSize = 1024;

    TLocaleLibrary();
    // Leaves the library loaded: it stays in memory until the program ends.
    ~TLocaleLibrary();
    TLocaleLibrary(const TLocaleLibrary&) = delete;
    TLocaleLibrary& operator=(const TLocaleLibrary&) = delete;

    // Unloads any library first, then loads the named library by its bare name
    // ("Glosk"; a Windows name such as "Glosk.dll" is accepted on every
    // platform). First, on every platform, the maker's library: the file of
    // that name with ".dll" (any case of the name) in `directory` (by default
    // the program's directory), read as it is when it is a Windows library
    // with a string table. Otherwise our own library, from `directory`, then
    // through the system's library search. True, and the loaded flag set, only
    // when one of the two gave strings: a string table, or a library exporting
    // GloskGetString.
    bool Load(const QString& fileName, const QString& directory = QString());

    // Why the last Load failed, for each place it looked; empty after a
    // successful one.
    QString LoadError() const { return loadError_; }

    // The string with that identifier, at most kBufferSize - 1 characters. The
    // empty text when the library lacks the identifier or none is loaded (the
    // program's own module carries no strings).
    QString GetString(int id) const;

    // Frees the library if one is loaded; the loaded flag becomes false.
    void Unload();

    bool IsLoaded() const { return loaded_; }
    // The file the strings come from (the string table's file or the loaded
    // library); empty when none is loaded.
    QString FileName() const;

  private:
    using GetStringFn = int (*)(unsigned int, char*, int);

    bool LoadMakerTable(const QString& fileName, const QString& directory);
    bool LoadOwnLibrary(const QString& fileName, const QString& directory);

    std::unique_ptr<QLibrary> handle_; // library handle
    GetStringFn getString_ = nullptr;
    std::unique_ptr<PeStringTable> table_; // the maker's string table, when read
    QString tableFile_;
    QString loadError_;
    bool loaded_ = false; // loaded flag
};

// The text under `id`: the empty text when there is no locale object, else its
// GetString. Every run-time lookup of a localised string goes through here.
QString LocaleString(const TLocaleLibrary* locale, int id);
