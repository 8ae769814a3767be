#pragma once

#include <QString>
#include <QStringList>

namespace nodalyx::cli {

// The options every command takes: --dir DIR (or --dir=DIR), --trace, --yes, --help (-h) and
// --version. Before the command they are read by the option parser; behind it they are taken
// out of the command's words wherever they stand ("refresh Site --yes"), so that everything
// else, the command's own options such as --json included, reaches the command as given.
struct GlobalOptions {
    QString dir;
    bool trace = false;
    bool yes = false;
    bool help = false;
    bool version = false;
    QStringList command; // the command name and its words; empty: none given
    QString error;       // a usage error ("--dir needs a directory", "unknown option '--x'")
};

GlobalOptions parseGlobalOptions(const QStringList& arguments);

} // namespace nodalyx::cli
