#include "HighwayStore.h"

#include "HighwayFileCodec.h"
#include "LocationStore.h"
#include "TextFile.h"

namespace nodalyx {

namespace {

QString highwayPath(const SharedState& state, const QString& location, int highway,
                    const char* extension) {
    QString path = highwayFilePath(state.programDir, location, highway);
    return path.replace(path.size() - 3, 3, QLatin1String(extension));
}

void resetTable(UnitTable& table) {
    for (int i = 1; i < kUnitTableSize; ++i) {
        UnitConfig fresh;
        const UnitConfig& old = table[size_t(i)];
        fresh.In1 = old.In1;
        fresh.Out1 = old.Out1;
        fresh.In2 = old.In2;
        fresh.Out2 = old.Out2;
        table[size_t(i)] = fresh;
    }
}

// Highway 2's logger expects a width for channel 4; an empty one is written as the default.
void fillEntrancewidth4(UnitTable& table) {
    for (int i = 1; i < kUnitTableSize; ++i) {
        if (table[size_t(i)].Entrancewidth4.isEmpty())
            table[size_t(i)].Entrancewidth4 = QStringLiteral("6");
    }
}

bool refuseName(const QString& location, Operator& op) {
    const QString refusal = checkLocationName(location);
    if (refusal.isEmpty())
        return false;
    op.message(refusal, Operator::Icon::Critical);
    return true;
}

} // namespace

QString highwayFilePath(const QString& programDir, const QString& location, int highway) {
    return QStringLiteral("%1/%2/HW0%3.ini").arg(programDir, location, QString::number(highway));
}

bool ReadHighway(SharedState& state, int highway, const QString& location, Operator& op) {
    UnitTable& table = state.table(highway);
    resetTable(table);
    if (refuseName(location, op))
        return true;
    const QString path = highwayPath(state, location, highway, "ini");
    QByteArray bytes;
    const QString error = readTextFile(path, bytes);
    if (!error.isEmpty()) {
        op.message(error, Operator::Icon::Critical);
        return true;
    }
    const HighwayReadResult result = decodeHighwayFile(bytes, highway, table);
    if (!result.headerOk) {
        op.message(QStringLiteral("Fout in lezen HW0%1.ini").arg(highway),
                   Operator::Icon::Critical);
        return false;
    }
    if (result.failure)
        op.message(lineMessage(path, result.failure->line, result.failure->reason),
                   Operator::Icon::Critical);
    return true;
}

bool ReadHW01(SharedState& state, const QString& location, Operator& op) {
    return ReadHighway(state, 1, location, op);
}

bool ReadHW02(SharedState& state, const QString& location, Operator& op) {
    return ReadHighway(state, 2, location, op);
}

bool WriteHighway(SharedState& state, int highway, const QString& location, Operator& op) {
    if (refuseName(location, op))
        return false;
    BusyGuard busy(op);
    if (highway == 2)
        fillEntrancewidth4(state.HW2Unit);
    const QString path = highwayPath(state, location, highway, "ini");
    keepBackup(path, highwayPath(state, location, highway, "bak"));
    const QString error = saveTextFile(path, encodeHighwayFile(highway, state.table(highway)));
    if (error.isEmpty())
        return true;
    busy.release();
    op.message(error, Operator::Icon::Critical);
    return false;
}

bool WriteHW01(SharedState& state, const QString& location, Operator& op) {
    return WriteHighway(state, 1, location, op);
}

bool WriteHW02(SharedState& state, const QString& location, Operator& op) {
    return WriteHighway(state, 2, location, op);
}

void ResetHW01(SharedState& state) {
    resetTable(state.HW1Unit);
}

void ResetHW02(SharedState& state) {
    resetTable(state.HW2Unit);
}

} // namespace nodalyx
