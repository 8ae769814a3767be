#pragma once

#include <QString>
#include <array>

namespace nodalyx {

// One counting unit on a highway. Field names are the highway file's keys; the last six
// fields hold values read from the logger and are never stored in a file.
struct UnitConfig {
    bool Active = false;
    qint16 HWtype = 0;
    QString HWaddress;
    QString Col1 = QStringLiteral("0");
    QString Col2 = QStringLiteral("0");
    QString Col3 = QStringLiteral("0");
    QString Col4 = QStringLiteral("0");
    QString Entrancewidth1 = QStringLiteral("6");
    quint8 Cor1 = 100;
    QString CorrType1 = QStringLiteral("1");
    QString Name1, From1, To1;
    QString Entrancewidth2 = QStringLiteral("6");
    quint8 Cor2 = 100;
    QString CorrType2 = QStringLiteral("1");
    QString Name2, From2, To2;
    QString Entrancewidth3 = QStringLiteral("6");
    quint8 Cor3 = 100;
    QString CorrType3 = QStringLiteral("1");
    QString Name3, From3, To3;
    QString Entrancewidth4 = QStringLiteral("6");
    quint8 Cor4 = 100;
    QString CorrType4 = QStringLiteral("1");
    QString Name4, From4, To4;
    // Live values from the logger's counter memory (decimal text); never written to a file.
    QString Live1 = QStringLiteral("0");
    QString Live2 = QStringLiteral("0");
    QString In1, Out1, In2, Out2;

    friend bool operator==(const UnitConfig&, const UnitConfig&) = default;
};

// A highway's table: entry A + 1 holds the unit with bus address A (0..63). Entry 0 takes
// what a file gives before its first Address line and is never shown or written.
inline constexpr int kUnitTableSize = 65;
inline constexpr int kUnitsPerHighway = 64;
using UnitTable = std::array<UnitConfig, kUnitTableSize>;

} // namespace nodalyx
