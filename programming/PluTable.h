#pragma once
// The article table loaded from a ".plu" file: its lines, a barcode index, the file name.

#include <QString>
#include <QStringList>

struct PluTable {
    QStringList PluLines;
    QStringList PluBarcodes;
    QString PluFileName;
    bool loaded() const { return !PluFileName.isEmpty(); }
    void clear() {
        PluLines.clear();
        PluBarcodes.clear();
        PluFileName.clear();
    }
};
