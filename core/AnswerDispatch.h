#pragma once
// DecodeAnswer: after an answer is dumped, the decoder of its command code (if
// any) turns it into the contents of a page.

#include "protocol/Commands.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <map>

class AnswerDispatcher {
  public:
    using Decoder = std::function<void(const QByteArray& answer)>;
    // Pages register the decoders of their commands' codes when the window is built.
    void registerDecoder(int code, Decoder decoder) { decoders_[code] = std::move(decoder); }
    // The decoder of the command's code (and so of every command of that code).
    void registerDecoder(const protocol::Command& command, Decoder decoder) {
        registerDecoder(codeNumber(QString::fromLatin1(command.code)), std::move(decoder));
    }
    bool has(int code) const { return decoders_.count(code) != 0; }
    // The code text converted as a whole decimal number; anything else counts as 0.
    static int codeNumber(const QString& code);
    void DecodeAnswer(const QString& code, const QByteArray& answer) const;

  private:
    std::map<int, Decoder> decoders_;
};
