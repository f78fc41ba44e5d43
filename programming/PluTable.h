#pragma once
// The article table loaded from a ".plu" file: its lines, a barcode index, the file name.

#include <QHash>
#include <QString>
#include <QStringList>

struct PluTable {
    QStringList PluLines;    // the file's lines in file order, decoded
    QStringList PluBarcodes; // field 2 of each line, at the same index
    QString PluFileName;     // the file last loaded completely; empty while none is

    // Case-folded barcode -> index of its first line.
    QHash<QString, int> barcodeIndex;

    bool loaded() const { return !PluFileName.isEmpty(); }
    void clear() {
        PluLines.clear();
        PluBarcodes.clear();
        PluFileName.clear();
        barcodeIndex.clear();
    }
    // Index of the first line whose barcode equals `barcode` regardless of letter
    // case; -1 when none does or no file was ever loaded.
    int FindBarcode(const QString& barcode) const {
        const auto it = barcodeIndex.constFind(barcode.toCaseFolded());
        return it == barcodeIndex.cend() ? -1 : it.value();
    }
    void rebuildIndex() {
        barcodeIndex.clear();
        barcodeIndex.reserve(PluBarcodes.size());
        // From the last line to the first, so the first line of a repeated barcode wins.
        for (int i = static_cast<int>(PluBarcodes.size()) - 1; i >= 0; --i)
            barcodeIndex.insert(PluBarcodes.at(i).toCaseFolded(), i);
    }
};
