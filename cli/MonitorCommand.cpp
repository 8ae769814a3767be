#include "MonitorCommand.h"

#include "CliText.h"
#include "CountRecord.h"
#include "CounterMonitor.h"
#include "CountingOperator.h"
#include "HighwayStore.h"
#include "Interrupt.h"
#include "LocationLoad.h"
#include "TextConvert.h"
#include "TrafficTrace.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QTextStream>
#include <optional>

namespace nodalyx::cli {

namespace {

struct Invocation {
    QString location;
    int every = 1;
    int count = 0;
    QString csv;
    bool json = false;
};

int parseValue(const QString& option, const QString& value, Invocation& inv) {
    if (option == QLatin1String("--every") &&
        parseInteger(value, CounterMonitor::kMinimumSeconds, CounterMonitor::kMaximumSeconds,
                     inv.every))
        return Done;
    if (option == QLatin1String("--count") && parseInteger(value, 1, 100000000, inv.count))
        return Done;
    if (option == QLatin1String("--csv") && !value.isEmpty()) {
        inv.csv = value;
        return Done;
    }
    const QString wanted = option == QLatin1String("--every")
                               ? CliText::tr("seconds from 1 to 3600")
                           : option == QLatin1String("--count") ? CliText::tr("a number of reads")
                                                                : CliText::tr("a file name");
    return usageError(CliText::tr("monitor: %1 needs %2, not '%3'").arg(option, wanted, value));
}

int parseArgs(const QStringList& args, Invocation& inv) {
    static const QStringList kWithValue{"--every", "--count", "--csv"};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--json")) {
            inv.json = true;
        } else if (kWithValue.contains(a)) {
            if (i + 1 >= args.size())
                return usageError(CliText::tr("monitor: %1 needs a value").arg(a));
            if (const int rc = parseValue(a, args[++i], inv); rc != Done)
                return rc;
        } else if (a.startsWith(QLatin1String("--")) || !inv.location.isEmpty()) {
            return usageError(CliText::tr("monitor: unexpected '%1'").arg(a));
        } else {
            inv.location = a;
        }
    }
    if (inv.location.isEmpty())
        return usageError(CliText::tr("monitor needs a LOCATION"));
    return Done;
}

// The settings and both highway tables (the active units, their location texts).
bool loadLocation(const CliContext& ctx, const QString& name, SharedState& state,
                  CountingOperator& op) {
    return loadLocationSettings(ctx, name, state, op) && ReadHighway(state, 1, name, op) &&
           ReadHighway(state, 2, name, op) && op.messages() == 0;
}

// Prints each read as it arrives: rows on stdout (unless they go to the record only) and a
// failed read's reason on stderr.
class ReadPrinter {
public:
    ReadPrinter(CliContext& ctx, const Invocation& inv, CountRecord* record)
        : m_ctx(ctx), m_json(inv.json), m_csvOnStdout(!inv.json && inv.csv.isEmpty()),
          m_record(record) {
        if (m_csvOnStdout)
            m_ctx.out << monitorCsvHeader() << Qt::endl;
    }
    // False when the record could not be written (the operator told).
    bool print(const MonitorRead& read) {
        for (const MonitorRow& row : read.rows) {
            if (m_json)
                m_ctx.out << QJsonDocument(monitorJson(row)).toJson(QJsonDocument::Compact) << '\n';
            else if (m_csvOnStdout)
                m_ctx.out << monitorCsvLine(row) << '\n';
        }
        m_ctx.out.flush();
        if (!read.ok)
            m_ctx.op.message(CliText::tr("Read %1 failed: %2").arg(read.number).arg(read.failure),
                             Operator::Icon::Warning);
        if (m_record && !m_record->write(read)) {
            m_ctx.op.message(m_record->errorString(), Operator::Icon::Critical);
            return false;
        }
        return true;
    }

private:
    CliContext& m_ctx;
    bool m_json;
    bool m_csvOnStdout;
    CountRecord* m_record;
};

int exitCode(CounterMonitor::End end, bool recordFailed, CountingOperator& op) {
    if (recordFailed)
        return Failed;
    if (end == CounterMonitor::End::Failures) {
        op.message(CounterMonitor::failuresText(), Operator::Icon::Critical);
        return Failed;
    }
    return Done;
}

} // namespace

int runMonitorCommand(CliContext& ctx, const QStringList& args) {
    Invocation inv;
    if (const int usage = parseArgs(args, inv); usage != Done)
        return usage;
    CountingOperator op(ctx.op);
    SharedState state;
    if (!loadLocation(ctx, inv.location, state, op))
        return Failed;
    CountRecord record;
    if (!inv.csv.isEmpty() && !record.open(inv.csv)) {
        op.message(record.errorString(), Operator::Icon::Critical);
        return Failed;
    }
    Link link(state.settings);
    tellNotices(link, op);
    if (ctx.trace)
        traceToStderr(link);
    CounterMonitor monitor(state, link, op);
    std::optional<ReadPrinter> printer; // made once the logger is there: the header first
    bool recordFailed = false;
    QObject::connect(&monitor, &CounterMonitor::readDone, &monitor, [&](const MonitorRead& read) {
        if (!printer->print(read)) {
            recordFailed = true;
            monitor.stop();
        }
    });
    QEventLoop loop;
    CounterMonitor::End end = CounterMonitor::End::Stopped;
    QObject::connect(&monitor, &CounterMonitor::finished, &loop, [&](CounterMonitor::End e) {
        end = e;
        loop.quit();
    });
    onFirstInterrupt(&monitor, CliText::tr("nodalyx-cli: stopping after the read under way"),
                     [&monitor] { monitor.stop(); });
    if (!monitor.start(inv.every * 1000, inv.count)) {
        if (!op.toldAnything())
            op.message(link.connectionFailedText(), Operator::Icon::Critical);
        return Failed;
    }
    printer.emplace(ctx, inv, inv.csv.isEmpty() ? nullptr : &record); // before the first read
    if (activeChannelRows(state.HW1Unit, 1, {}).isEmpty() &&
        activeChannelRows(state.HW2Unit, 2, {}).isEmpty())
        op.message(CliText::tr("No unit of \"%1\" is in use: the reads give no rows (set "
                               "Active=True with the unit command).")
                       .arg(inv.location),
                   Operator::Icon::Warning);
    loop.exec();
    return exitCode(end, recordFailed, op);
}

} // namespace nodalyx::cli
