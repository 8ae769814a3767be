#pragma once

#include "TestRow.h"
#include "UnitConfig.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace nodalyx::cli {

// One row of the highway test's list: the table index (1..64), the unit and its counts.
struct HwtestRow {
    int index = 0;
    UnitConfig unit;
    hw::TestRow counts;
};

// {"rows": [{"row": i, "Addr": "05", "TX": n, "RX": n, "C1".."C4": n, "Count1".."Count4": n,
// "CC1".."CC4": n}, ...]}, counts as numbers.
QJsonObject hwtestJson(const QList<HwtestRow>& rows);
// The columns of the test list as a table: Addr, Active, Location, Addres Code, TX, RX,
// C1..C4, In, Out, In, Out, CC1..CC4.
QString hwtestText(const QList<HwtestRow>& rows);

} // namespace nodalyx::cli
