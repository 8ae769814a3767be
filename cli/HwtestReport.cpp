#include "HwtestReport.h"

#include "TextConvert.h"

#include <QJsonArray>
#include <QStringList>

namespace nodalyx::cli {

namespace {
QString addressText(int index) {
    return QStringLiteral("%1").arg(index - 1, 2, 10, QLatin1Char('0'));
}

// The list's own texts of "Location" and "Addres Code".
QString locationText(const UnitConfig& u) {
    return u.Name3.isEmpty() ? u.Name1 : u.Name1 + QLatin1Char('\\') + u.Name3;
}

QString codeText(const QString& code) {
    if (trimBlanks(code).isEmpty() || code.size() != 12)
        return {};
    return code.mid(0, 4) + QLatin1Char('-') + code.mid(4, 4) + QLatin1Char('-') + code.mid(8, 4);
}

const QStringList kHeaders{"Addr", "Active", "Location", "Addres Code", "TX",  "RX",
                           "C1",   "C2",     "C3",       "C4",          "In",  "Out",
                           "In",   "Out",    "CC1",      "CC2",         "CC3", "CC4"};
constexpr int kTextColumns = 4; // Addr .. Addres Code, left-aligned

QStringList rowTexts(const HwtestRow& r) {
    return QStringList{addressText(r.index), r.unit.Active ? "Yes" : "No", locationText(r.unit),
                       codeText(r.unit.HWaddress)} +
           hw::testColumnTexts(r.counts);
}
} // namespace

QJsonObject hwtestJson(const QList<HwtestRow>& rows) {
    QJsonArray array;
    for (const HwtestRow& r : rows) {
        const hw::TestRow& c = r.counts;
        QJsonObject o{{"row", r.index}, {"Addr", addressText(r.index)}, {"TX", c.TX}, {"RX", c.RX}};
        for (int k = 0; k < 4; ++k) {
            const QString n = QString::number(k + 1);
            o.insert(QStringLiteral("C") + n, c.C[k]);
            o.insert(QStringLiteral("Count") + n, c.Count[k]);
            o.insert(QStringLiteral("CC") + n, c.CC[k]);
        }
        array.append(o);
    }
    return QJsonObject{{"rows", array}};
}

QString hwtestText(const QList<HwtestRow>& rows) {
    QList<QStringList> table{kHeaders};
    for (const HwtestRow& r : rows)
        table << rowTexts(r);
    QList<qsizetype> widths(kHeaders.size(), 0);
    for (const QStringList& line : table)
        for (int c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], line[c].size());
    QString text;
    for (const QStringList& line : table) {
        QStringList cells;
        for (int c = 0; c < line.size(); ++c)
            cells << (c < kTextColumns ? line[c].leftJustified(widths[c])
                                       : line[c].rightJustified(widths[c]));
        text += cells.join(QLatin1Char(' ')).trimmed() + QLatin1Char('\n');
    }
    if (rows.isEmpty())
        text += QStringLiteral("(no unit of this highway is in use)\n");
    return text;
}

} // namespace nodalyx::cli
