#include "Exec.h"

#include "AnswerWriter.h"
#include "protocol/Layouts.h"

#include <QDateTime>
#include <QString>

namespace vp {

std::string Exec::text(size_t i) const {
    return cp1250::toUtf8(raw(i));
}

int64_t Exec::integer(size_t i, int sub) const {
    const auto v = parseInt(raw(i));
    if (!v)
        refuse(sub);
    return *v;
}

int64_t Exec::decimal(size_t i, int decimals, int sub) const {
    const auto v = parseDecimal(raw(i), decimals);
    if (!v)
        refuse(sub);
    return *v;
}

void Exec::ack(int64_t value) {
    namespace A = protocol::Acknowledgement;
    AnswerWriter a(A::layout);
    a.put(A::Code, r_.code);
    a.putDigits(A::DocumentNo, s.documentNo);
    a.putDigits(A::Value, value);
    o_.answer = a.finish();
}

bool Exec::anyPostponed() const {
    for (const auto& r : s.postponed)
        if (r.open)
            return true;
    return false;
}

bool Exec::zReportDue() const {
    if (!s.day.hasSales())
        return false;
    const QDate opened = QDateTime::fromSecsSinceEpoch(s.day.openedAt, Qt::UTC).date();
    const QDate today = QDateTime::fromSecsSinceEpoch(now_, Qt::UTC).date();
    return today > opened;
}

void Exec::needSalesAllowed() const {
    if (s.readOnlyMode)
        refuse(75);
    if (fm_.full())
        refuse(err::FiscalMemoryFull);
    if (fm_.damaged())
        refuse(err::WrongData);
    if (zReportDue())
        refuse(err::ZRequired);
    bool anyClerk = false;
    for (const auto& c : s.clerks)
        anyClerk = anyClerk || !c.password.empty();
    if (anyClerk && s.clerkOnDuty == 0)
        refuse(65);
}

std::string Exec::rateText(int i) const {
    if (exemptGroup(i + 1))
        return "ZW";
    const int r = s.rates[static_cast<size_t>(i)];
    return r == kInactiveRate ? "---" : paper::ratePercent(r);
}

void Exec::printHeader(const std::string& title) {
    for (size_t i = 0; i < 5; ++i)
        if (s.headerSet[i] && !QString::fromStdString(s.header[i]).trimmed().isEmpty())
            print(paper::centre(s.header[i]));
    if (!s.taxId.empty())
        print(paper::centre("NIP " + paper::groupTaxId(s.taxId, s.taxIdFormat)));
    ++s.documentNo;
    printLr(formatWall(now_), "nr wydr. " + paper::digits(s.documentNo, 6));
    print(paper::centre(title));
    print(paper::rule());
}

void Exec::printFooter(int64_t receiptNo) {
    const std::string clerk = s.clerkOnDuty ? "Kasjer " + std::to_string(s.clerkOnDuty) + " " +
                                                  s.clerks[static_cast<size_t>(s.clerkOnDuty - 1)].name
                                            : std::string("Kasa");
    const std::string number = receiptNo ? paper::digits(receiptNo, 6) + " " : std::string();
    printLr(number + "#" + paper::digits(s.ecrNumber, 3) + " " + clerk,
            QDateTime::fromSecsSinceEpoch(now_, Qt::UTC).toString("HH:mm").toStdString());
    print(paper::centre(s.fiscal ? "PL " + s.idCode + " " + s.idNumber : std::string("NIEFISKALNY")));
    print("");
}

} // namespace vp
