#pragma once
// One call's replayed outcome against the recorded one: status, sub-code and
// length, then the answer field by field through the command's layout (record
// blocks record by record), the bytes beyond the layout and the answers
// without one (memory dumps) byte by byte, differing bytes grouped in ranges.

#include "protocol/Layouts.h"
#include "session/Session.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace replay {

struct CompareOptions {
    QStringList ignore;           // field names: "TaxId", "HardwareStatus.TaxId", "Departments.Name"
    bool compareVolatile = false; // fields that change by nature are compared too
};

struct Difference {
    QString field;              // "Status", "TaxId", "Departments record 3: Name", "bytes 64-69"
    QString meaning;            // what the field holds
    QString recorded, replayed; // the values, decoded by the field's kind
    int offset = -1;            // the bytes in the answer; -1 for status, sub-code and length
    int width = 0;
};

struct Comparison {
    std::vector<Difference> differences;
    int volatileIgnored = 0; // differing fields left out because they change by nature
    int ignored = 0;         // differing fields left out by --ignore
    bool matches() const { return differences.empty(); }
};

// The layout a call's answer is read through: the command's, or for
// ExecCommand the one of the code its command line starts with; null for a
// dump, a link function or an unknown command.
const protocol::Layout* layoutOf(const session::Call& call);

// A field's bytes as a person reads them, by its kind.
QString showValue(const protocol::Field& field, QByteArrayView bytes);

Comparison compare(const session::Call& recorded, const session::Call& replayed,
                   const CompareOptions& options = {});

} // namespace replay
