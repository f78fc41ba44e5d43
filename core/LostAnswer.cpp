#include "core/LostAnswer.h"

#include "core/AnswerDecoders.h"
#include "core/SafeFormat.h"
#include "protocol/Layouts.h"

namespace lostanswer {
namespace {

namespace S = protocol::SoftwareStatus;

// The notes: language library id and English text.
struct Text {
    int id;
    const char* english;
};
constexpr Text kRecorded{19120, "receipt %s recorded: do not repeat it"};
constexpr Text kPayNotRecorded{19121, "receipt not recorded (still open): the payment may be repeated"};
constexpr Text kPartPayment{19122, "payment recorded, receipt %s still open: do not repeat the payment"};
constexpr Text kPaymentUnknown{
    19123, "receipt %s still open with a payment started: check the paper before paying again"};
constexpr Text kCloseNotRecorded{19124, "receipt not recorded (still open): the close may be repeated"};
constexpr Text kNoneOpen{19125, "no receipt was open: nothing recorded, nothing to repeat"};
constexpr Text kCancelled{19126, "receipt cancelled: do not repeat the cancel"};
constexpr Text kNotCancelled{19127, "receipt not cancelled (still open): the cancel may be repeated"};
constexpr Text kDayClosed{19128, "daily report recorded (the day is closed): do not repeat it"};
constexpr Text kDayOpen{19129, "daily report not recorded (the day still has sales): it may be repeated"};
constexpr Text kNoStatus{19130,
                         "the printer did not give its status either: check the paper before repeating"};

enum class Kind { Payment, Close, Cancel, ZReport, None };

Kind kindOf(std::string_view code) {
    if (code == "34" || code == "42" || code == "46")
        return Kind::Payment;
    if (code == "37")
        return Kind::Close;
    if (code == "36")
        return Kind::Cancel;
    if (code == "61")
        return Kind::ZReport;
    return Kind::None;
}

// The software status's fields this needs; complete only when every byte is there.
struct Status {
    bool complete = false;
    qint64 next = 0; // number of the next receipt
    bool open = false, paymentStarted = false, daySales = false;
};

bool isDigits(const QByteArray& b) {
    if (b.isEmpty())
        return false;
    for (const char c : b)
        if (c < '0' || c > '9')
            return false;
    return true;
}

Status read(const QByteArray& answer) {
    Status s;
    if (answer.size() < S::layout.size)
        return s;
    const QByteArray next = answers::fieldBytes(answer, S::ReceiptNo);
    if (!isDigits(next))
        return s;
    s.next = next.toLongLong();
    s.open = answers::fieldIs(answer, S::ReceiptNotClosed, '1');
    s.paymentStarted = answers::fieldIs(answer, S::PaymentStarted, '1');
    s.daySales = answers::fieldIs(answer, S::ZReportNeeded, '1');
    s.complete = true;
    return s;
}

QString receiptNumber(qint64 n) {
    return QStringLiteral("%1").arg(n, S::ReceiptNo.width, 10, QLatin1Char('0'));
}

QString say(const Text& t, const std::function<QString(int)>& local, const QString& arg = {}) {
    QString format = local ? local(t.id) : QString();
    if (format.isEmpty())
        format = QString::fromLatin1(t.english);
    return SafeFormat(format, {arg});
}

} // namespace

bool closesDocument(std::string_view code) {
    return kindOf(code) != Kind::None;
}

QString noteText(std::string_view code, const QByteArray& status, const QByteArray& before,
                 const std::function<QString(int)>& local) {
    const Kind kind = kindOf(code);
    if (kind == Kind::None)
        return {};
    const Status now = read(status);
    if (!now.complete)
        return say(kNoStatus, local);
    const Status was = read(before);
    switch (kind) {
    case Kind::ZReport:
        return say(now.daySales ? kDayOpen : kDayClosed, local);
    case Kind::Cancel:
        return say(now.open ? kNotCancelled : kCancelled, local);
    case Kind::Payment:
    case Kind::Close:
        if (!now.open) {
            if (now.next <= 1 || (was.complete && was.next == now.next))
                return say(kNoneOpen, local);
            return say(kRecorded, local, receiptNumber(now.next - 1));
        }
        if (!now.paymentStarted)
            return say(kind == Kind::Close ? kCloseNotRecorded : kPayNotRecorded, local);
        if (was.complete && was.next == now.next && was.open && !was.paymentStarted)
            return say(kPartPayment, local, receiptNumber(now.next));
        return say(kPaymentUnknown, local, receiptNumber(now.next));
    case Kind::None:
        break;
    }
    return {};
}

} // namespace lostanswer
