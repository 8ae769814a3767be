#include "UnitSimOptions.h"

namespace nodalyx::sim {

namespace {
bool parseMs(const QString& option, const QString& text, int& out, QString* error) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < 0) {
        *error = QStringLiteral("%1 needs a number of milliseconds, not '%2'").arg(option, text);
        return false;
    }
    out = v;
    return true;
}

// One option with its value; false on a mistake.
bool takeOption(const QString& option, const QString& value, UnitSimOptions& o, QString* error) {
    if (option == QLatin1String("--pty"))
        o.ptyLink = value;
    else if (option == QLatin1String("--unit"))
        return addUnitOption(value, o.config, error);
    else if (option == QLatin1String("--fault"))
        return addFaultOption(value, o.config, error);
    else if (option == QLatin1String("--config"))
        return loadUnitSimConfig(value, o.config, error);
    else if (option == QLatin1String("--grow-ms"))
        return parseMs(option, value, o.config.growMs, error);
    else if (option == QLatin1String("--reply-delay"))
        return parseMs(option, value, o.config.replyDelayMs, error);
    else if (option == QLatin1String("--late-ms"))
        return parseMs(option, value, o.config.lateMs, error);
    return true;
}

bool takesValue(const QString& option) {
    static const QStringList kWithValue{"--pty",     "--unit",        "--fault",  "--config",
                                        "--grow-ms", "--reply-delay", "--late-ms"};
    return kWithValue.contains(option);
}
} // namespace

QString unitSimUsage() {
    return QStringLiteral(
               "Usage: nodalyx-unitsim --pty LINK [--unit ADDR:TYPE[:CODE]]... [options]\n"
               "\n"
               "A highway of counting units for the highway test (\"PCB test\"): answers the\n"
               "polls of the tool at 9600 baud on a pseudo-terminal.\n"
               "\n"
               "  --pty LINK          a pseudo-terminal with a symbolic link LINK to it; point\n"
               "                      the tool at it with NODALYX_COM<n>=LINK (Linux)\n"
               "  --unit ADDR:1       a type 1 unit at bus address ADDR (0..63)\n"
               "  --unit ADDR:2:CODE  a type 2 unit with the unit code CODE (12 hex digits)\n"
               "  --config FILE       units from a JSON file: {\"units\": [{\"address\": 5,\n"
               "                      \"type\": 2, \"code\": \"A1B2C3D4E5F1\", \"counters\":\n"
               "                      [1, 2, 3, 4], \"fault\": \"late\"}], \"growMs\": 1000}\n"
               "  --fault ADDR:KIND   unit ADDR shows a fault, KIND one of: %1\n"
               "  --grow-ms MS        the counters grow every MS milliseconds (default 1000;\n"
               "                      0 keeps them as they are)\n"
               "  --reply-delay MS    a unit answers MS milliseconds after its poll (default 10)\n"
               "  --late-ms MS        ... or this late with the fault late (default 2500)\n"
               "  --verbose           log every poll and answer on stderr\n"
               "  --help              this text\n"
               "\n"
               "It prints \"pty LINK -> DEVICE\" when ready and runs until interrupted.\n")
        .arg(unitFaultNames());
}

std::optional<UnitSimOptions> parseUnitSimOptions(const QStringList& args, QString* error,
                                                  bool* help) {
    UnitSimOptions o;
    *help = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            *help = true;
            return std::nullopt;
        }
        if (a == QLatin1String("--verbose")) {
            o.verbose = true;
            continue;
        }
        if (!takesValue(a)) {
            *error = QStringLiteral("unknown option '%1'").arg(a);
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("%1 needs a value").arg(a);
            return std::nullopt;
        }
        if (!takeOption(a, args[++i], o, error))
            return std::nullopt;
    }
    if (o.ptyLink.isEmpty()) {
        *error = QStringLiteral("--pty LINK is needed");
        return std::nullopt;
    }
    return o;
}

} // namespace nodalyx::sim
