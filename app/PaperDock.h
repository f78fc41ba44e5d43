#pragma once
// The "Paper" dock beside the Return Buffer: the paper roll as the printer
// prints it, a search field and "save as text". The lines come from the device
// libraries' print handler (our own libraries offer it; the maker's do not, and
// then the dock is never offered).

#include <QDockWidget>

#include <functional>

class PaperRollModel;
class PaperRollView;
class QLabel;
class QLineEdit;
class QPushButton;

class PaperDock : public QDockWidget {
    Q_OBJECT
  public:
    // errorBox shows a failed save; askPath asks where to save (a file dialog).
    PaperDock(std::function<void(const QString&)> errorBox, QWidget* parent = nullptr);

    PaperRollModel* model() const { return model_; }
    PaperRollView* view() const { return view_; }

    // Selects the next (or previous) line holding the search field's text.
    bool findNext(bool backward = false);
    // Writes the roll to path; a failure is shown and leaves no file behind.
    bool saveTo(const QString& path);

    std::function<QString()> askPath; // replaced by tests

  private:
    PaperRollModel* model_ = nullptr;
    PaperRollView* view_ = nullptr;
    QLineEdit* search_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* save_ = nullptr;
    QLabel* found_ = nullptr;
    std::function<void(const QString&)> errorBox_;
};
