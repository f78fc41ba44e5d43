#include "core/AnswerDispatch.h"

int AnswerDispatcher::codeNumber(const QString& code) {
    bool ok = false;
    const int n = code.trimmed() == code ? code.toInt(&ok, 10) : 0;
    return ok ? n : 0;
}

void AnswerDispatcher::DecodeAnswer(const QString& code, const QByteArray& answer) const {
    auto it = decoders_.find(codeNumber(code));
    if (it != decoders_.end() && it->second)
        it->second(answer);
}
