// The logger commands of nodalyx-cli: serial, clock and refresh. Each loads the location's
// settings, talks to its logger in a session that closes the link whatever happens.
#include "CliContext.h"
#include "CliText.h"
#include "ClockDrift.h"
#include "CounterReadout.h"
#include "CounterReport.h"
#include "CountingOperator.h"
#include "Link.h"
#include "LocationLoad.h"
#include "LocationStore.h"
#include "LoggerSession.h"
#include "PrintableText.h"
#include "TrafficTrace.h"

#include <QJsonDocument>

namespace nodalyx::cli {

namespace {

using LoggerOperator = CountingOperator;

struct Invocation {
    QString location;
    bool set = false;
    bool json = false;
};

int parseArgs(const QString& command, const QStringList& args, Invocation& out) {
    for (const QString& a : args) {
        if (command == QLatin1String("clock") && a == QLatin1String("--set"))
            out.set = true;
        else if (command == QLatin1String("refresh") && a == QLatin1String("--json"))
            out.json = true;
        else if (a.startsWith(QLatin1String("--")) || !out.location.isEmpty())
            return usageError(CliText::tr("%1: unexpected '%2'").arg(command, a));
        else
            out.location = a;
    }
    if (out.location.isEmpty())
        return usageError(CliText::tr("%1 needs a LOCATION").arg(command));
    return Done;
}

// "text: reason" when the link knows why, else the text with a full stop.
QString withReason(const QString& text, const Link& link) {
    return link.lastFailure().isEmpty() ? text + QLatin1Char('.')
                                        : text + QStringLiteral(": ") + link.lastFailure();
}

int failed(LoggerOperator& op, const QString& text) {
    op.message(text, Operator::Icon::Critical);
    return Failed;
}

// Opens the link as the other commands do; false when the operator has been told why not.
bool opened(LoggerSession& session) {
    return session.start() == LoggerSession::Start::Ready;
}

int runSerial(CliContext& ctx, LoggerSession& session, LoggerOperator& op) {
    if (!opened(session))
        return Failed;
    Link& link = session.link();
    const std::optional<QString> serial = answeredSerial(link.ReadLoggerSerial());
    if (!serial)
        return failed(op, link.connectionFailedText());
    // A reply without a number (FF and its code, or blanks only) is no serial number either.
    if (serial->isEmpty())
        return failed(op, CliText::tr("The logger sent no serial number."));
    ctx.out << printableText(*serial) << Qt::endl;
    return Done;
}

int runClock(CliContext& ctx, LoggerSession& session, LoggerOperator& op, bool set) {
    if (!opened(session))
        return Failed;
    Link& link = session.link();
    if (set && !link.WriteLoggerClock(LoggerClock::fromDateTime(QDateTime::currentDateTime())))
        return failed(op, CliText::tr("The logger did not accept the new time."));
    LoggerClock clock;
    if (!link.ReadLoggerClock(clock))
        return failed(op,
                      withReason(CliText::tr("The logger did not answer the clock request"), link));
    const QDateTime pc = QDateTime::currentDateTime();
    ctx.out << clock.text() << '\n'
            << "PC " << pcClockText(pc) << "  " << clockDriftText(clockDriftMinutes(clock, pc))
            << Qt::endl;
    return Done;
}

int runRefresh(CliContext& ctx, SharedState& state, Link& link, LoggerOperator& op, bool json) {
    const RefreshOutcome outcome = RefreshFromLogger(state, link, op);
    if (!outcome.countersRead) {
        if (!op.toldAnything())
            failed(op, link.connectionFailedText());
        return Failed;
    }
    if (json)
        ctx.out << QJsonDocument(countersJson(state)).toJson(QJsonDocument::Indented);
    else
        ctx.out << countersText(state);
    ctx.out.flush();
    int result = Done;
    for (int hw = 1; hw <= 2; ++hw) {
        if (!(hw == 1 ? outcome.highway1Read : outcome.highway2Read))
            result = failed(op, CliText::tr("Highway %1: no valid counter reply; its values "
                                            "were not read.")
                                    .arg(hw));
    }
    return result;
}

} // namespace

bool isLoggerCommand(const QString& command) {
    static const QStringList kCommands{"serial", "clock", "refresh"};
    return kCommands.contains(command);
}

int runLoggerCommand(CliContext& ctx, const QString& command, const QStringList& args) {
    Invocation inv;
    if (const int usage = parseArgs(command, args, inv); usage != Done)
        return usage;
    LoggerOperator op(ctx.op);
    SharedState state;
    if (!loadLocationSettings(ctx, inv.location, state, op))
        return Failed;
    Link link(state.settings);
    tellNotices(link, op);
    if (ctx.trace)
        traceToStderr(link);
    if (command == QLatin1String("refresh"))
        return runRefresh(ctx, state, link, op, inv.json);
    // serial and clock: no serial-number check, the link closed whatever happens.
    SessionPolicy policy;
    policy.failureText = [](const Link& l) { return l.connectionFailedText(); };
    LoggerSession session(link, op, state.settings, policy);
    return command == QLatin1String("serial") ? runSerial(ctx, session, op)
                                              : runClock(ctx, session, op, inv.set);
}

} // namespace nodalyx::cli
