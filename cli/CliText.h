#pragma once

#include <QCoreApplication>

namespace nodalyx::cli {

// The translation context of the command-line tool's messages: CliText::tr("..."). Reports
// that scripts read (the tables, the JSON) are not translated.
struct CliText {
    Q_DECLARE_TR_FUNCTIONS(CliText)
};

} // namespace nodalyx::cli
