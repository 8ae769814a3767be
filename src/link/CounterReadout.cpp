#include "CounterReadout.h"
#include "PrintableText.h"
#include "TextConvert.h"

#include "LoggerCodes.h"
#include "LoggerReplies.h"

#include <QPointer>

namespace nodalyx {

namespace {
std::optional<QString> nonZero(const QString& count) {
    bool ok = false;
    const qlonglong value = count.trimmed().toLongLong(&ok);
    if (!ok || value == 0)
        return std::nullopt;
    return count;
}

// Sends the memory read of one highway and decodes the reply into its table.
bool readHighway(SharedState& state, Link& link, int highway) {
    const std::array<int, 8> b = counterRequest(highway);
    if (!link.SendCommand(b[0], b[1], b[2], b[3], b[4], b[5], b[6], quint8(b[7])))
        return false;
    if (!link.WaitReply(kCounterReplySize))
        return false;
    return decodeCounterReply(link.rxBuffer(), state.table(highway));
}
} // namespace

QString serialMismatchQuestion(const QString& local, const QString& remote) {
    return QStringLiteral("Remote serialnumber not the same as local\r\n\r\nWould you continue?"
                          "\r\n\r\nSerial number of the logger: \"%1\"\r\nSerial number of the "
                          "location: \"%2\"")
        .arg(printableText(remote.trimmed()), printableText(local));
}

bool continueWithOtherLogger(Operator& op, const QString& local, const QString& remote) {
    return op.askYesNo(serialMismatchQuestion(local, remote), Operator::Icon::Warning, {},
                       Operator::Answer::No);
}

std::array<int, 8> counterRequest(int highway) {
    const int first = highway == 2 ? 0x6400 : 0x6000;
    const int last = first + 0x300;
    return {cmd::ReadMemory, 0, 0, last & 0xFF, last >> 8, first & 0xFF, first >> 8, 0};
}

RefreshOutcome RefreshFromLogger(SharedState& state, Link& link, Operator& op) {
    RefreshOutcome outcome;
    if (link.refuseWhenUnavailable())
        return outcome;
    QPointer<Link> alive(&link);
    BusyGuard hourglass(op);
    if (!link.OpenLink()) {
        // A serial port that cannot be opened has been reported; say why a connection failed.
        if (state.settings.ConnType != 1) {
            hourglass.release();
            op.message(link.connectionFailedText(), Operator::Icon::Critical);
        }
        link.CloseLink();
        return outcome;
    }
    const QString first = link.ReadLoggerSerial();
    if (!alive)
        return outcome;
    if (first.toUpper() == QLatin1String("FALSE")) {
        hourglass.release();
        op.message(link.connectionFailedText(), Operator::Icon::Critical);
        return outcome; // the link stays open; the next exchange takes it as it is
    }
    const QString second = link.ReadLoggerSerial();
    if (!alive)
        return outcome;
    if (!second.contains(state.settings.eSerialnumber) &&
        !continueWithOtherLogger(op, state.settings.eSerialnumber, second)) {
        link.CloseLink();
        return outcome;
    }
    outcome.highway1Read = readHighway(state, link, 1);
    if (!alive)
        return outcome;
    outcome.highway2Read = readHighway(state, link, 2);
    if (!alive)
        return outcome;
    outcome.countersRead = true;
    link.CloseLink();
    return outcome;
}

std::array<std::optional<QString>, 4> countColumns(const UnitConfig& unit) {
    std::array<std::optional<QString>, 4> columns;
    columns[0] = nonZero(unit.In1);
    columns[1] = nonZero(unit.Out1);
    if (!trimBlanks(unit.HWaddress).isEmpty()) {
        columns[2] = nonZero(unit.In2);
        columns[3] = nonZero(unit.Out2);
    }
    return columns;
}

} // namespace nodalyx
