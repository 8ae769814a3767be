#pragma once

#include "GeneralSettings.h"
#include "UnitConfig.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace nodalyx {

// The texts of the main window's lists and connection box, without widgets.

// Columns of the highway lists, by index.
inline constexpr int kHighwayColumns = 16; // Addr .. Out 2, then the four changes while monitoring
inline constexpr int kFirstChangeColumn = 12;
inline constexpr int kTestColumns = 18; // Addr .. CC4
inline constexpr int kFirstCountColumn = 8;

// Table index i (1..64) as the unit's bus address with at least two digits: "00".."63".
QString addressText(int index);

// The unit code as three groups of four joined by "-" when it is exactly 12 characters and
// not blank; else empty.
QString unitCodeText(const QString& HWaddress);

// The twelve columns of row `index` of a highway list: address, "Yes"/"No", Name1 with
// "\" + Name3 when Name3 is given, the grouped code, Col1..Col4 (empty for "0"), and four
// empty count columns.
QStringList highwayRowTexts(int index, const UnitConfig& unit);

// The eighteen columns of row `index` of the test list: address, active, location and code
// as in a highway row, "0" for TX, RX and C1..C4, the rest empty.
QStringList testRowTexts(int index, const UnitConfig& unit);

// How the logger of a location is reached, for ConnType 1..4; nullopt for any other value
// (the box keeps its text).
std::optional<QString> connectionText(const GeneralSettings& settings);

} // namespace nodalyx
