#pragma once
// The paper roll drawn as paper: a strip of 32 columns in the program's
// monospaced font on a paper colour, torn between documents, rows of a fixed
// height painted straight from a PaperRollModel. While the newest line is in
// sight the view follows the printing; scrolled up, it stays where it is.

#include "answers/ReturnBufferView.h"

class PaperRollView : public ReturnBufferView {
    Q_OBJECT
  public:
    explicit PaperRollView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    bool following() const { return following_; }
    int paperWidth() const { return paperWidth_; } // the strip's width in pixels

    static QColor paperColour() { return QColor(0xFB, 0xF8, 0xEC); }
    static QColor tableColour() { return QColor(0x6E, 0x6E, 0x6E); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void changeEvent(QEvent* event) override;

  private:
    int stripLeft() const;
    bool following_ = true;
    int paperWidth_ = 0;
};
