// The serial ports: what there is, the port map, and which port a logger answers on.
#include "PortsCommand.h"

#include "Cancellation.h"
#include "CliText.h"
#include "CountingOperator.h"
#include "Interrupt.h"
#include "LocationLoad.h"
#include "PortProbe.h"
#include "PrintableJson.h"
#include "PrintableText.h"
#include "SerialPorts.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <unistd.h>

namespace nodalyx::cli {

namespace {

struct PortsInvocation {
    bool json = false;
    bool probe = false;
    QStringList words; // map N DEVICE, unmap N, or the location of --probe
};

int parse(const QStringList& args, PortsInvocation& inv) {
    for (const QString& a : args) {
        if (a == QLatin1String("--json"))
            inv.json = true;
        else if (a == QLatin1String("--probe"))
            inv.probe = true;
        else if (a.startsWith(QLatin1String("--")))
            return usageError(CliText::tr("ports: unexpected '%1'").arg(a));
        else
            inv.words << a;
    }
    return Done;
}

QJsonValue numberOrNull(std::optional<int> n) {
    return n ? QJsonValue(*n) : QJsonValue(QJsonValue::Null);
}

QJsonObject portJson(const ListedPort& p) {
    return printableJson(QJsonObject{
        {"number", numberOrNull(p.number)},
        {"device", p.info.device},
        {"description", p.info.description},
        {"manufacturer", p.info.manufacturer},
        {"serial_number", p.info.serialNumber},
        {"vendor_id",
         numberOrNull(p.info.vendorId ? std::optional<int>(*p.info.vendorId) : std::nullopt)},
        {"product_id",
         numberOrNull(p.info.productId ? std::optional<int>(*p.info.productId) : std::nullopt)},
        {"available", p.info.available},
        {"mapped", p.mapped},
    });
}

QString portLine(const ListedPort& p) {
    QString line = printableText(p.label());
    if (p.mapped)
        line += CliText::tr("  [mapped]");
    if (!p.info.available)
        line += CliText::tr("  [not available: %1]").arg(printableText(p.info.unavailableWhy));
    return line;
}

int listPorts(CliContext& ctx, const PortsInvocation& inv) {
    const QList<ListedPort> ports = SerialPorts::list(true);
    if (inv.json) {
        QJsonArray array;
        for (const ListedPort& p : ports)
            array << portJson(p);
        ctx.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return Done;
    }
    if (ports.isEmpty())
        ctx.out << CliText::tr("No serial ports found.") << '\n';
    for (const ListedPort& p : ports)
        ctx.out << portLine(p) << '\n';
    return Done;
}

bool portNumber(const QString& text, int& number) {
    bool ok = false;
    number = text.toInt(&ok);
    return ok && number >= 1 && number <= 255;
}

int failed(CliContext& ctx, const QString& text) {
    ctx.op.message(text, Operator::Icon::Critical);
    return Failed;
}

int mapPort(CliContext& ctx, const QStringList& words) {
    int number = 0;
    if (words.size() != 3 || !portNumber(words[1], number))
        return usageError(CliText::tr("ports map needs a port number 1..255 and a DEVICE"));
    if (const QString error = SerialPorts::map(number, words[2]); !error.isEmpty())
        return failed(ctx, error);
    ctx.out << CliText::tr("Serial port %1 is now %2.").arg(number).arg(words[2]) << '\n';
    return Done;
}

int unmapPort(CliContext& ctx, const QStringList& words) {
    int number = 0;
    if (words.size() != 2 || !portNumber(words[1], number))
        return usageError(CliText::tr("ports unmap needs a port number 1..255"));
    if (const QString error = SerialPorts::unmap(number); !error.isEmpty())
        return failed(ctx, error);
    ctx.out << CliText::tr("Serial port %1 is no longer in the port map.").arg(number) << '\n';
    return Done;
}

QJsonObject answerJson(const ProbeAnswer& a, bool withLocation) {
    QJsonObject o{
        {"device", a.device},
        {"number", numberOrNull(a.number)},
        {"serial", a.serial ? QJsonValue(*a.serial) : QJsonValue(QJsonValue::Null)},
        {"skipped", a.skipped.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(a.skipped)},
    };
    if (withLocation)
        o.insert("matches", a.matches.value_or(false));
    return printableJson(o);
}

QString answerLine(const ProbeAnswer& a) {
    QString where = a.number ? QStringLiteral("%1 (%2)").arg(a.device).arg(*a.number) : a.device;
    QString line;
    if (!a.skipped.isEmpty())
        line = CliText::tr("%1: skipped, %2").arg(where, a.skipped);
    else if (!a.serial)
        line = CliText::tr("%1: no answer").arg(where);
    else
        line = CliText::tr("%1: serial number %2").arg(where, *a.serial);
    if (a.matches.value_or(false))
        line += CliText::tr("  <- the location's logger");
    return printableText(line);
}

ProbeProgress terminalProgress() {
    if (!isatty(STDERR_FILENO))
        return {};
    return [](int index, int total, const QString& device) {
        QTextStream(stderr) << "\r\x1b[K"
                            << CliText::tr("asking %1 (%2 of %3)")
                                   .arg(printableText(device))
                                   .arg(index + 1)
                                   .arg(total)
                            << Qt::flush;
    };
}

int probe(CliContext& ctx, const PortsInvocation& inv) {
    if (inv.words.size() > 1)
        return usageError(CliText::tr("ports --probe takes at most one LOCATION"));
    std::optional<QString> expected;
    if (!inv.words.isEmpty()) {
        SharedState state;
        CountingOperator op(ctx.op);
        if (!loadLocationSettings(ctx, inv.words[0], state, op))
            return Failed;
        expected = state.settings.eSerialnumber.trimmed();
    }
    Cancellation cancel;
    QObject owner;
    onFirstInterrupt(&owner, QStringLiteral("\nnodalyx-cli: stopping after this port"),
                     [&cancel] { cancel.request(); });
    const ProbeProgress progress = terminalProgress();
    const QList<ProbeAnswer> answers =
        probePorts(SerialPorts::list(true), expected, &cancel, progress);
    if (progress)
        QTextStream(stderr) << "\r\x1b[K" << Qt::flush;
    if (inv.json) {
        QJsonArray array;
        for (const ProbeAnswer& a : answers)
            array << answerJson(a, expected.has_value());
        ctx.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    } else {
        for (const ProbeAnswer& a : answers)
            ctx.out << answerLine(a) << '\n';
        if (answers.isEmpty())
            ctx.out << CliText::tr("No serial ports found.") << '\n';
    }
    const bool found = expected ? !matchingAnswers(answers).isEmpty()
                                : std::any_of(answers.begin(), answers.end(),
                                              [](const ProbeAnswer& a) { return a.serial; });
    return found ? Done : Failed;
}

} // namespace

int runPortsCommand(CliContext& ctx, const QStringList& args) {
    PortsInvocation inv;
    if (const int status = parse(args, inv); status != Done)
        return status;
    if (inv.probe)
        return probe(ctx, inv);
    if (inv.words.isEmpty())
        return listPorts(ctx, inv);
    if (inv.json)
        return usageError(CliText::tr("ports: --json goes with the listing or --probe"));
    if (inv.words[0] == QLatin1String("map"))
        return mapPort(ctx, inv.words);
    if (inv.words[0] == QLatin1String("unmap"))
        return unmapPort(ctx, inv.words);
    return usageError(CliText::tr("ports: unexpected '%1'").arg(inv.words[0]));
}

} // namespace nodalyx::cli
