#pragma once

#include "UnitSimConfig.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace nodalyx::sim {

// The command line of nodalyx-unitsim.
struct UnitSimOptions {
    QString ptyLink;
    UnitSimConfig config;
    bool verbose = false;
};

// Parses the arguments (without the program name). On a mistake answers nullopt and sets
// error; help is set for --help.
std::optional<UnitSimOptions> parseUnitSimOptions(const QStringList& args, QString* error,
                                                  bool* help);
QString unitSimUsage();

} // namespace nodalyx::sim
