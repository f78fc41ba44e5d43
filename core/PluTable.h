#pragma once
// The article table loaded from a ".plu" file: its lines, a barcode index, the file name.
//
// The whole file is decoded once into one text; the lines and the barcodes are
// spans of that text (shared, never copied), so loading costs a few allocations
// however long the file is. A line rewritten after a sale is kept beside the
// text and replaces the span of that line.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// A list of texts, each a span of one shared text or a line of its own.
class PluTextList {
  public:
    // Eight bytes a line: an offset into the shared text, or with `own` the
    // index of a line of its own. Files are limited to 2 GiB, which the loader checks.
    struct Span {
        quint32 offset = 0;
        quint32 size : 31;
        quint32 own : 1;
    };
    static Span span(qsizetype offset, qsizetype size) {
        Span s;
        s.offset = static_cast<quint32>(offset);
        s.size = static_cast<quint32>(size) & 0x7FFFFFFFu;
        s.own = 0;
        return s;
    }
    static constexpr qsizetype kMaxText = 0x7fffffff;

    qsizetype size() const { return static_cast<qsizetype>(spans_.size()); }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return spans_.empty(); }

    // The text at `i` without a copy; valid until the list changes.
    QStringView view(qsizetype i) const {
        const Span& s = spans_[static_cast<std::size_t>(i)];
        return s.own ? QStringView(own_.at(s.offset)) : QStringView(text_.constData() + s.offset, s.size);
    }
    QString at(qsizetype i) const { return view(i).toString(); }
    QString operator[](qsizetype i) const { return at(i); }

    // Replaces the text at `i` by a line of its own.
    void replace(qsizetype i, const QString& line) {
        Span& s = spans_[static_cast<std::size_t>(i)];
        if (s.own) {
            own_[s.offset] = line;
        } else {
            s.offset = static_cast<quint32>(own_.size());
            s.size = 0;
            s.own = 1;
            own_.append(line);
        }
    }

    void clear() {
        text_.clear();
        spans_.clear();
        own_.clear();
    }

    QStringList toStringList() const {
        QStringList list;
        list.reserve(size());
        for (qsizetype i = 0; i < size(); ++i)
            list.append(at(i));
        return list;
    }
    friend bool operator==(const PluTextList& a, const QStringList& b) {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i)
            if (a.view(i) != b.at(i))
                return false;
        return true;
    }
    friend bool operator!=(const PluTextList& a, const QStringList& b) { return !(a == b); }

    // Building: the shared text (implicitly shared, not copied) and its spans.
    void assign(const QString& text, std::vector<Span>&& spans) {
        text_ = text;
        spans_ = std::move(spans);
        own_.clear();
    }
    const QString& sharedText() const { return text_; }

  private:
    QString text_;
    std::vector<Span> spans_;
    QStringList own_;
};

struct PluTable {
    PluTextList PluLines;    // the file's lines in file order, decoded
    PluTextList PluBarcodes; // field 2 of each line, at the same index
    QString PluFileName;     // the file last loaded completely; empty while none is

    bool loaded() const { return !PluFileName.isEmpty(); }
    void clear() {
        PluLines.clear();
        PluBarcodes.clear();
        PluFileName.clear();
        barcodeIndex_.clear();
        foldedKeys_.clear();
    }

    // The case-folded form of `s`; `s` itself when folding changes nothing.
    static bool isCaseFolded(QStringView s) {
        for (const QChar c : s) {
            const char16_t u = c.unicode();
            if (u >= 0x80 || (u >= u'A' && u <= u'Z'))
                return false;
        }
        return true;
    }

    // Index of the first line whose barcode equals `barcode` regardless of letter
    // case; -1 when none does or no file was ever loaded.
    int FindBarcode(QStringView barcode) const {
        if (barcodeIndex_.isEmpty())
            return -1;
        if (isCaseFolded(barcode))
            return barcodeIndex_.value(barcode, -1);
        const QString folded = barcode.toString().toCaseFolded();
        return barcodeIndex_.value(QStringView(folded), -1);
    }

    // Builds the index from the case-folded barcode to its first line. Keys are
    // views of the barcodes' text, or of a folded copy when folding changes one.
    void rebuildIndex() {
        barcodeIndex_.clear();
        foldedKeys_.clear();
        const qsizetype n = PluBarcodes.size();
        barcodeIndex_.reserve(n);
        // From the last line to the first, so the first line of a repeated barcode wins.
        for (qsizetype i = n - 1; i >= 0; --i) {
            const QStringView b = PluBarcodes.view(i);
            if (isCaseFolded(b)) {
                barcodeIndex_.insert(b, static_cast<int>(i));
            } else {
                // The list's element may move; the folded text it holds does not.
                foldedKeys_.append(b.toString().toCaseFolded());
                barcodeIndex_.insert(QStringView(foldedKeys_.constLast()), static_cast<int>(i));
            }
        }
    }

  private:
    // Keys view PluBarcodes' shared text or foldedKeys_: both keep their
    // characters in place until the next load or clear(), which rebuild them.
    QHash<QStringView, int> barcodeIndex_;
    QStringList foldedKeys_;
};
