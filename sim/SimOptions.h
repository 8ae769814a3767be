#pragma once

#include "SimFaults.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <optional>

namespace nodalyx::sim {

// The command line of nodalyx-loggersim.
struct SimOptions {
    bool tcp = false;
    QHostAddress host = QHostAddress::LocalHost;
    quint16 port = 0;
    QString ptyLink;
    QString stateFile;
    QString serial;
    std::optional<bool> growing;
    QString filesFolder;
    int blockSize = 0; // 0: the logger's default
    SimFaults faults;
    bool verbose = false;
    // --loggers N: that many loggers in one process, each on a TCP port of its own (see
    // LoggerFleet); silentLoggers of them answer nothing.
    std::optional<int> loggers;
    int silentLoggers = 0;
};

// Parses the arguments (without the program name). On a mistake answers nullopt and sets
// error; help is set for --help and version (when given) for --version.
std::optional<SimOptions> parseSimOptions(const QStringList& args, QString* error, bool* help,
                                          bool* version = nullptr);
// The --help text, and the long names of every option it has to list.
QString simUsage();
QStringList simOptionNames();

// "3,59,101" -> {3, 59, 101}; false on anything that is not a code 0..255.
bool parseCodes(const QString& text, QSet<int>& out);
// "101:7,3:9" -> {101: 7, 3: 9}; false on anything that is not CODE:LENGTH.
bool parseCuts(const QString& text, QHash<int, int>& out);

} // namespace nodalyx::sim
