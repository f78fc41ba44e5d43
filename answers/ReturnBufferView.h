#pragma once
// The "Return Buffer" list's view: fixed-height rows painted straight from the
// model, so a list of millions of lines scrolls, grows and repaints in time
// that does not depend on its length (a QListView lays out every row again on
// each insert).

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

  private:
    int visibleRows() const;
    int rowCount() const;
    int rowHeight_ = 16;
    int lineWidth_ = 0; // widest line in pixels (the dump lines are all alike)
};
