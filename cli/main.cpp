// nodalyx-cli: the configuration tool's core without windows, for scripts and tests.
#include "CliContext.h"
#include "CliText.h"
#include "GlobalOptions.h"
#include "HwtestCommand.h"
#include "MonitorCommand.h"
#include "PortsCommand.h"
#include "ProgramDir.h"
#include "SerialPorts.h"
#include "SurveyCommand.h"
#include "TerminalOperator.h"
#include "TransferCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

using namespace nodalyx;
using namespace nodalyx::cli;

namespace {

const char* const kUsage = QT_TRANSLATE_NOOP(
    "CliText",
    "Usage: nodalyx-cli [--dir DIR] [--trace] COMMAND ...\n"
    "\n"
    "Location files:\n"
    "  locations                        location names, one a line (creates the default\n"
    "                                   location when there is none)\n"
    "  show LOCATION [--json]           the settings and both unit tables\n"
    "  new LOCATION [--conn serial|lan] [--comport N] [--ip A.B.C.D] [--port P]\n"
    "                                   create a location with default settings\n"
    "  set LOCATION KEY=VALUE...        change settings (location file keys); .bak kept;\n"
    "                                   a value that the windows or the upload would not\n"
    "                                   take is stored all the same, with a warning\n"
    "  check LOCATION [--json]          every value that the windows or the upload would\n"
    "                                   not take, as KEY: \"VALUE\" - RULE (exit 3 when any)\n"
    "  unit LOCATION HW ADDR KEY=VALUE...\n"
    "                                   change unit ADDR (0..63) of highway HW (1 or 2)\n"
    "  where                            the program directory in use\n"
    "\n"
    "Logger:\n"
    "  serial LOCATION                  the logger's serial number\n"
    "  clock LOCATION [--set]           the logger's clock and how far it is from the PC's;\n"
    "                                   --set sets it from the PC first\n"
    "  refresh LOCATION [--json] [--yes]\n"
    "                                   the live counters of both highways\n"
    "  monitor LOCATION [--every S] [--count K] [--csv FILE] [--json] [--yes]\n"
    "                                   read the live counters every S seconds (1..3600,\n"
    "                                   default 1), K times (default: until Ctrl-C, which\n"
    "                                   stops after the read under way); one row per active\n"
    "                                   unit channel per read with the change since the\n"
    "                                   first read, as CSV with the header\n"
    "                                   time,highway,address,location,channel,in,out,\n"
    "                                   in_change,out_change, or --json one object a line;\n"
    "                                   --csv FILE writes the CSV into FILE (continued when\n"
    "                                   it is such a record; any other file is refused);\n"
    "                                   exit 1 after three failed reads in a row\n"
    "  settings LOCATION [--json] [--save] [--diff]\n"
    "                                   read the logger's general settings as the\n"
    "                                   configuration window does and print them; --save\n"
    "                                   stores them into the location (.bak kept); --diff\n"
    "                                   prints what differs from the location (exit 3)\n"
    "  download LOCATION [--hw 1] [--hw 2]\n"
    "                                   copy the logger's highway files HW01.ini / HW02.ini\n"
    "                                   into the location (no --hw: both; old ones kept as\n"
    "                                   .bak); Ctrl-C cancels and writes nothing\n"
    "  upload LOCATION [--general] [--hw 1] [--hw 2] [--yes] [--verify]\n"
    "                                   the upload window's sequence: after the serial-number\n"
    "                                   check send the general settings item by item\n"
    "                                   (--general) and the highway files (--hw; at least\n"
    "                                   one of them), printing each report line and then\n"
    "                                   the final message; --verify reads the settings back\n"
    "                                   and reports what differs; Ctrl-C stops after the\n"
    "                                   item or packet under way\n"
    "\n"
    "Many sites:\n"
    "  survey [LOCATION...] [--jobs N] [--json|--csv] [--settings] [--sync-clock]\n"
    "         [--max-drift MIN]\n"
    "                                   every location (or those named) at once: whether\n"
    "                                   its logger was reached (and why not), its serial\n"
    "                                   number and whether it is the location's, its clock\n"
    "                                   and drift in minutes; --settings also the general\n"
    "                                   settings that differ (as settings --diff);\n"
    "                                   --sync-clock sets the clock of every expected logger\n"
    "                                   that drifts more than MIN minutes (default 1) and\n"
    "                                   reads it back. TCP locations N at a time (default\n"
    "                                   16), serial ones one after another per port. A\n"
    "                                   table, --json an array, --csv a header and a line\n"
    "                                   each; a summary line on stderr. Ctrl-C cancels and\n"
    "                                   prints what was found (exit 1). Exit 3 when a logger\n"
    "                                   is another one, differs or drifts; 1 when one could\n"
    "                                   not be reached. Does not take --trace\n"
    "\n"
    "Serial ports:\n"
    "  ports [--json]                   the serial ports there are: number, device,\n"
    "                                   description, adapter serial number, whether they can\n"
    "                                   be opened now and whether the number is mapped\n"
    "  ports map N DEVICE               tie serial port N of the locations to the adapter on\n"
    "                                   DEVICE (kept in ports.ini; found again when it comes\n"
    "                                   back under another name); not on Windows\n"
    "  ports unmap N                    remove N from the port map\n"
    "  ports --probe [LOCATION] [--json]\n"
    "                                   ask every port for a logger's serial number (5 s\n"
    "                                   each at most; a port in use is skipped); with a\n"
    "                                   LOCATION mark the port of its logger (exit 1 when\n"
    "                                   none answered, or none is the location's)\n"
    "\n"
    "Highway test (the units of one highway, over a serial port at 9600 baud):\n"
    "  hwtest LOCATION --hw 1|2 --comport N [--passes K] [--json]\n"
    "                                   poll the location's active units of highway HW\n"
    "                                   over serial port N for K passes (default 1; 0 runs\n"
    "                                   until Ctrl-C, which stops after the running pass),\n"
    "                                   then print one row per active unit: TX, RX, the\n"
    "                                   raw counters, the counts and the start values\n"
    "\n"
    "Options:\n"
    "  --dir DIR    program directory holding the locations, made when missing (default:\n"
    "               the executable's directory when it holds location files (*.fgr), else\n"
    "               the per-user data directory, ~/.local/share/nodalyx on Linux)\n"
    "  --trace      write the communication log to stderr: per line the time (ms), the\n"
    "               source (link, transfer, hwtest), the command's name, the verdict (ACK,\n"
    "               NAK, reply ok, checksum bad, no answer, CRC ok, answered, ...), then\n"
    "               -> (sent) or <- (received) and the bytes in hex\n"
    "  --yes        answer Yes to questions (a serial-number mismatch)\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "Exit status: 0 done, 1 the operation failed, 2 usage error, 3 settings --diff found\n"
    "a difference, check found a problem or survey found a logger that differs.\n");

// "where": the program directory the other commands use.
int printProgramDir(CliContext& ctx, const QStringList& args) {
    if (!args.isEmpty())
        return usageError(CliText::tr("where takes no arguments"));
    ctx.out << QDir::toNativeSeparators(ctx.programDir) << '\n';
    return Done;
}

} // namespace

int nodalyx::cli::usageError(const QString& text) {
    QTextStream(stderr) << "nodalyx-cli: " << text << '\n'
                        << CliText::tr("Try 'nodalyx-cli --help'.") << '\n';
    return Usage;
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nodalyx"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NODALYX_VERSION_STRING));

    const GlobalOptions options = parseGlobalOptions(app.arguments().mid(1));
    if (options.help) {
        QTextStream(stdout) << CliText::tr(kUsage);
        return Done;
    }
    if (options.version) {
        QTextStream(stdout) << "nodalyx-cli " << NODALYX_VERSION_STRING << '\n';
        return Done;
    }
    if (!options.error.isEmpty())
        return usageError(options.error);
    QStringList rest = options.command;
    if (rest.isEmpty())
        return usageError(CliText::tr("no command given"));

    const QString command = rest.takeFirst();
    TerminalOperator op(options.yes);
    QTextStream out(stdout);
    CliContext ctx{resolveProgramDir(options.dir), options.trace, options.yes, op, out};
    SerialPorts::setProgramDir(ctx.programDir); // its port map
    if (command == QLatin1String("where"))
        return printProgramDir(ctx, rest);
    if (isFileCommand(command))
        return runFileCommand(ctx, command, rest);
    if (isLoggerCommand(command))
        return runLoggerCommand(ctx, command, rest);
    if (command == QLatin1String("hwtest"))
        return runHwtestCommand(ctx, rest);
    if (command == QLatin1String("monitor"))
        return runMonitorCommand(ctx, rest);
    if (isTransferCommand(command))
        return runTransferCommand(ctx, command, rest);
    if (command == QLatin1String("settings"))
        return runSettingsCommand(ctx, rest);
    if (command == QLatin1String("ports"))
        return runPortsCommand(ctx, rest);
    if (command == QLatin1String("survey"))
        return runSurveyCommand(ctx, rest);
    return usageError(CliText::tr("unknown command '%1'").arg(command));
}
