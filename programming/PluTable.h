#pragma once
// The article table loaded from a ".plu" file: its lines, a barcode index, the file name.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct PluTable {
    QStringList PluLines;    // the file's lines in file order, decoded
    QStringList PluBarcodes; // field 2 of each line, at the same index
    QString PluFileName;     // the file last loaded completely; empty while none is

    // The file's bytes per line, so that a rewrite keeps every byte it does not change.
    QList<QByteArray> rawLines;
    // Case-folded barcode -> index of its first line.
    QHash<QString, int> barcodeIndex;

    bool loaded() const { return !PluFileName.isEmpty(); }
    void clear() {
        PluLines.clear();
        PluBarcodes.clear();
        PluFileName.clear();
        rawLines.clear();
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
        for (int i = 0; i < PluBarcodes.size(); ++i) {
            const QString key = PluBarcodes.at(i).toCaseFolded();
            if (!barcodeIndex.contains(key)) // the first line of a repeated barcode wins
                barcodeIndex.insert(key, i);
        }
    }
};
