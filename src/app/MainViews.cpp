#include "MainViews.h"
#include "CounterMonitor.h"
#include "SerialPorts.h"
#include "TextConvert.h"
#include "ValueRules.h"

#include <QCoreApplication>

namespace nodalyx {

namespace {

// The translation context of the list and connection texts.
struct Views {
    Q_DECLARE_TR_FUNCTIONS(MainViews)
};

} // namespace

QString addressText(int index) {
    return QStringLiteral("%1").arg(index - 1, 2, 10, QLatin1Char('0'));
}

QString unitCodeText(const QString& HWaddress) {
    if (trimBlanks(HWaddress).isEmpty() || HWaddress.size() != 12)
        return {};
    return HWaddress.mid(0, 4) + QLatin1Char('-') + HWaddress.mid(4, 4) + QLatin1Char('-') +
           HWaddress.mid(8, 4);
}

namespace {

QString columnText(const QString& col) {
    return col == QLatin1String("0") ? QString() : col;
}

} // namespace

QStringList highwayRowTexts(int index, const UnitConfig& unit) {
    QStringList texts{addressText(index),     unit.Active ? Views::tr("Yes") : Views::tr("No"),
                      unitLocationText(unit), unitCodeText(unit.HWaddress),
                      columnText(unit.Col1),  columnText(unit.Col2),
                      columnText(unit.Col3),  columnText(unit.Col4)};
    while (texts.size() < kHighwayColumns)
        texts << QString();
    return texts;
}

QStringList testRowTexts(int index, const UnitConfig& unit) {
    QStringList texts = highwayRowTexts(index, unit).mid(0, 4);
    for (int c = 0; c < 6; ++c)
        texts << QStringLiteral("0");
    while (texts.size() < kTestColumns)
        texts << QString();
    return texts;
}

namespace {

// " (/dev/ttyUSB0)": the device a port number stands for where the system has no COM
// numbers of its own; empty on Windows and for a number no port can have.
QString deviceBehind(float comport) {
    if (SerialPorts::hasComNumbers() || !(comport >= 0.5f && comport < kHighestComport + 0.5f))
        return {};
    const PortResolution r = SerialPorts::resolve(qRound(comport));
    return r.adapterMissing ? Views::tr(" (%1, not plugged in)").arg(r.device)
                            : QStringLiteral(" (%1)").arg(r.device);
}

} // namespace

std::optional<QString> connectionText(const GeneralSettings& s) {
    switch (s.ConnType) {
    case 1:
        return Views::tr("Direct connect, comport: %1").arg(floatText(s.Comport)) +
               deviceBehind(s.Comport);
    case 2:
        return Views::tr("Lan: %1:%2").arg(s.IPnumber, s.Portnumber);
    case 3:
        return Views::tr("Modem analoge. Phonenumber: %1").arg(s.PhoneNumber);
    case 4:
        return Views::tr("Modem GSM. Phonenumber: %1").arg(s.PhoneNumber);
    default:
        return std::nullopt;
    }
}

} // namespace nodalyx
