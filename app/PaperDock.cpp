#include "app/PaperDock.h"

#include "answers/PaperRollModel.h"
#include "answers/PaperRollView.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PaperDock::PaperDock(std::function<void(const QString&)> errorBox, QWidget* parent)
    : QDockWidget(QStringLiteral("Paper"), parent), errorBox_(std::move(errorBox)) {
    setObjectName(QStringLiteral("PaperDock"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("PaperBody"));
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    auto* row = new QHBoxLayout();
    search_ = new QLineEdit(body);
    search_->setObjectName(QStringLiteral("PaperSearch"));
    search_->setPlaceholderText(QStringLiteral("Search"));
    search_->setClearButtonEnabled(true);
    previous_ = new QPushButton(QStringLiteral("Previous"), body);
    previous_->setObjectName(QStringLiteral("PaperFindPrevious"));
    next_ = new QPushButton(QStringLiteral("Next"), body);
    next_->setObjectName(QStringLiteral("PaperFindNext"));
    row->addWidget(search_, 1);
    row->addWidget(previous_);
    row->addWidget(next_);
    column->addLayout(row);

    model_ = new PaperRollModel(this);
    view_ = new PaperRollView(body);
    view_->setObjectName(QStringLiteral("PaperView"));
    view_->setModel(model_);
    view_->setMinimumWidth(view_->paperWidth() + 24);
    column->addWidget(view_, 1);

    auto* bottom = new QHBoxLayout();
    found_ = new QLabel(body);
    found_->setObjectName(QStringLiteral("PaperFound"));
    save_ = new QPushButton(QStringLiteral("Save as text..."), body);
    save_->setObjectName(QStringLiteral("PaperSave"));
    bottom->addWidget(found_, 1);
    bottom->addWidget(save_);
    column->addLayout(bottom);
    setWidget(body);

    askPath = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save the paper roll"),
                                            QStringLiteral("paper.txt"), QStringLiteral("Text (*.txt)"));
    };
    connect(search_, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(next_, &QPushButton::clicked, this, [this] { findNext(); });
    connect(previous_, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(save_, &QPushButton::clicked, this, [this] {
        const QString path = askPath ? askPath() : QString();
        if (!path.isEmpty())
            saveTo(path);
    });
}

bool PaperDock::findNext(bool backward) {
    const QString text = search_->text();
    if (text.isEmpty()) {
        found_->clear();
        return false;
    }
    const int from = view_->currentIndex().isValid() ? view_->currentIndex().row()
                     : backward                      ? model_->rowCount()
                                                     : -1;
    const int row = model_->find(text, from, backward);
    if (row < 0) {
        found_->setText(QStringLiteral("Not found"));
        return false;
    }
    found_->setText(QStringLiteral("Document %1").arg(model_->documentAt(row)));
    const QModelIndex index = model_->index(row, 0);
    view_->setCurrentIndex(index);
    view_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

bool PaperDock::saveTo(const QString& path) {
    QString error;
    if (model_->saveText(path, &error))
        return true;
    if (errorBox_)
        errorBox_(QStringLiteral("Unable to write %1\n%2").arg(path, error));
    return false;
}
