#pragma once

#include <QString>
#include <optional>

class Dataset;

// Category codes are code paths: two decimal digits per level, a child's code being
// its parent's code followed by two digits ("03" -> "0301").
namespace CategoryCode {

inline const QString Pattern = QStringLiteral("222222222"); // nine levels of width two

// The 1-based level at which the running sum of the pattern's widths equals the
// code's length; -1 when no level fits (odd, empty or too long codes).
int CodeLevel(const QString &pattern, const QString &code);

// v in plain digits, with one leading "0" when that makes the length even.
QString PadCode(qint64 v);

// The code of a tree node "code-name": the text before the first "-".
QString nodeCode(const QString &nodeText);

struct Proposal
{
    std::optional<QString> code; // nullopt: keep the current code
    bool emptyTable = false;     // the table has no row yet (the proposal is "01")
};

// The next free code for a new child (addChild) or sibling of the node whose code is
// `current` (blank: the root). Runs its look-ups on `query`. No upper bound applies:
// after "0199" comes "0200", after "99" comes "0100".
Proposal propose(Dataset &query, const QString &table, const QString &current, bool addChild);

} // namespace CategoryCode
