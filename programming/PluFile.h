#pragma once
// The ".plu" article file: loading, barcode lookup, the sold-quantity update
// and the safe rewrite (temporary file, sync, rename, directory sync).

#include "core/PluTable.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

enum class PluLoadStatus {
    Loaded, // the table holds the file, PluFileName is set
    NoFile, // nothing exists at the path: nothing else changed
    Failed, // the file could not be read: the table and PluFileName are empty
};

// Loads the article file into the table. A temporary file left beside it by an
// interrupted save is removed first. On Failed, `error` names the reason.
PluLoadStatus LoadPluFile(PluTable& table, const QString& path, QString* error = nullptr);

// The sale page's lookup: the barcode field's text with trailing blanks removed,
// compared without regard to letter case; the index of the first matching line or -1.
int LookupPluBarcode(const PluTable& table, const QString& barcodeField);

struct PluUpdateResult {
    enum Status {
        NotFound,    // no line carries the barcode: nothing to do
        Updated,     // the line was rewritten and the file saved
        BadLine,     // fewer than six fields, or field 6 not a number: nothing changed
        WriteFailed, // the file could not be saved: the table is as it was before
    };
    Status status = NotFound;
    QString message; // for BadLine and WriteFailed
    bool ok() const { return status == NotFound || status == Updated; }
};

// Adds (sale) or subtracts (cancel) `quantity` to the sold quantity of the first
// line with that barcode, rewrites that line as its first six fields and saves
// the whole file. Needs a loaded file.
PluUpdateResult AddPluSoldQuantity(PluTable& table, const QString& barcode, bool isSale, double quantity,
                                   const QLocale& locale = QLocale());

// Writes `data` to `path` so that the path holds either the complete old file or
// the complete new one at every moment: a temporary file in the same folder is
// written and synced, renamed over the path, then the folder is synced. The
// temporary file is removed on failure. On failure `error` says why. (The
// system calls are platform::WriteFileReplacing, platform/Platform.h.)
bool SafeWriteFile(const QString& path, const QByteArray& data, QString* error = nullptr);

// The name of the temporary file a save of `path` by this process uses.
QString SafeWriteTempPath(const QString& path);

// Removes temporary files beside `path` left by saves that were interrupted
// (their process is gone). Returns how many were removed.
int CleanStaleSaveFiles(const QString& path);
