#pragma once
// The "Return Buffer" list's view: fixed-height rows painted straight from the
// model, so a list of millions of lines scrolls, grows and repaints in time
// that does not depend on its length (a QListView lays out every row again on
// each insert).
//
// Pointing at a byte of a dump line (hexadecimal pair or character) tells the
// model (ReturnBufferModel::setPointedByte), which gives the byte's field as
// the line's tooltip and the field's bytes to highlight; a delegate paints the
// lines and the highlighted bytes.

#include <QAbstractItemView>

class ReturnBufferView : public QAbstractItemView {
    Q_OBJECT
  public:
    explicit ReturnBufferView(QWidget* parent = nullptr);

    int rowHeight() const { return rowHeight_; }
    void setRowHeight(int pixels);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    // The byte (0 to 15) of a dump line shown at viewport x; -1 for none.
    int byteAt(int x) const;
    // The selected lines (the current one when none is selected), top to
    // bottom, each followed by '\n': what Ctrl+C copies.
    QString selectedText() const;

    // Where the text of a line starts, right of the row's left edge.
    static constexpr int kTextMargin = 2;

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    int visibleRows() const;
    int rowCount() const;
    void point(const QPoint& pos);
    void showToolTip(const QPoint& pos, const QPoint& globalPos);
    int rowHeight_ = 16;
    int lineWidth_ = 0;   // widest line in pixels (the dump lines are all alike)
    qreal charWidth_ = 8; // one character of the fixed-pitch font
};
