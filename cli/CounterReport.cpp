#include "CounterReport.h"

#include <QJsonArray>

namespace nodalyx::cli {

namespace {
bool hasCounts(const UnitConfig& u) {
    for (const QString* c : {&u.In1, &u.Out1, &u.In2, &u.Out2})
        if (c->toLongLong() != 0)
            return true;
    return false;
}

QString column(const QString& text) {
    return text.rightJustified(8);
}
} // namespace

QJsonObject countersJson(const SharedState& state) {
    QJsonObject highways;
    for (int hw = 1; hw <= 2; ++hw) {
        QJsonArray units;
        for (int i = 1; i <= kUnitsPerHighway; ++i) {
            const UnitConfig& u = state.table(hw)[i];
            units.append(QJsonObject{{"Address", i - 1},
                                     {"Live1", u.Live1},
                                     {"Live2", u.Live2},
                                     {"In1", u.In1},
                                     {"Out1", u.Out1},
                                     {"In2", u.In2},
                                     {"Out2", u.Out2}});
        }
        highways.insert(QString::number(hw), units);
    }
    return QJsonObject{{"highways", highways}};
}

QString countersText(const SharedState& state) {
    QString text;
    for (int hw = 1; hw <= 2; ++hw) {
        text += QStringLiteral("Highway %1\n").arg(hw);
        text += QStringLiteral("Address     In 1   Out 1    In 2   Out 2\n");
        int shown = 0;
        for (int i = 1; i <= kUnitsPerHighway; ++i) {
            const UnitConfig& u = state.table(hw)[i];
            if (!hasCounts(u))
                continue;
            ++shown;
            text += QString::number(i - 1).rightJustified(7) + column(u.In1) + column(u.Out1) +
                    column(u.In2) + column(u.Out2) + QLatin1Char('\n');
        }
        if (shown == 0)
            text += QStringLiteral("(no unit has counts)\n");
    }
    return text;
}

} // namespace nodalyx::cli
