#pragma once

#include "ConfigurationControls.h"
#include "SettingsComparison.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace nodalyx::cli {

// The remote-settings controls of the configuration window for `settings`: one JSON object
// whose members are named as the controls, or labelled lines. Both show the logger's texts
// made printable (a control character as \xNN, see PrintableText.h). clockLine is what follows the
// logger's date (the comparison with the PC's clock), empty when there is none.
QJsonObject settingsJson(const ConfigurationControls& controls);
QString settingsText(const ConfigurationControls& controls, const QString& clockLine);

// {"setting": .., "location": .., "logger": .., "boxes": [..]} for each difference.
QJsonObject withDifferences(QJsonObject json, const QList<SettingDifference>& differences);

} // namespace nodalyx::cli
