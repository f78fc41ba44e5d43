#pragma once
// Records every message box and answers questions from a queue, without a dialog.

#include "core/MessageService.h"

#include <QString>

#include <deque>
#include <vector>

class RecordingMessages : public IMessageService {
  public:
    struct Box {
        QString text, caption;
        Icon icon;
        bool question;
    };
    void show(const QString& text, const QString& caption, Icon icon) override {
        boxes.push_back({text, caption, icon, false});
    }
    bool ask(const QString& text, const QString& caption, Icon icon) override {
        boxes.push_back({text, caption, icon, true});
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    const Box* last() const { return boxes.empty() ? nullptr : &boxes.back(); }
    void clear() { boxes.clear(); }

    std::vector<Box> boxes;
    std::deque<bool> answers; // Yes = true; No when empty
};
