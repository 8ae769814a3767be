#pragma once

#include "Operator.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace nodalyx::cli {

enum ExitCode { Done = 0, Failed = 1, Usage = 2 };

// What every command gets: the program directory, the global switches, the operator (the
// terminal) and standard output.
struct CliContext {
    QString programDir;
    bool trace = false; // --trace: every frame on stderr
    bool yes = false;   // --yes: answer Yes to questions
    Operator& op;
    QTextStream& out;
};

// Each returns an ExitCode. args are the words after the command name.
int runFileCommand(CliContext& ctx, const QString& command, const QStringList& args);
int runLoggerCommand(CliContext& ctx, const QString& command, const QStringList& args);
// `settings LOCATION [--json] [--save] [--diff]`; exits 3 when --diff found a difference.
int runSettingsCommand(CliContext& ctx, const QStringList& args);

bool isFileCommand(const QString& command);
bool isLoggerCommand(const QString& command);

// Prints "nodalyx-cli: <text>" on stderr and answers Usage.
int usageError(const QString& text);

} // namespace nodalyx::cli
