#include "PortProbe.h"

#include "Cancellation.h"
#include "GeneralSettings.h"
#include "Link.h"

#include <QElapsedTimer>

namespace nodalyx {

namespace {

constexpr int kSerialNumberLimitMs = LinkTimeouts{}.replyMs; // 5 s

ProbeAnswer ask(const ListedPort& port, const std::optional<QString>& expected) {
    ProbeAnswer answer{port.info.device, port.number, std::nullopt, {}, std::nullopt};
    if (!port.info.available) {
        answer.skipped = port.info.unavailableWhy.isEmpty() ? QStringLiteral("cannot be opened")
                                                            : port.info.unavailableWhy;
        return answer;
    }
    QElapsedTimer timer; // the port's whole turn, opening included, within the limit
    timer.start();
    const GeneralSettings unused;
    Link link(unused);
    if (!link.OpenSerialDevice(port.info.device)) {
        answer.skipped = link.lastFailure();
        return answer;
    }
    LinkTimeouts limits;
    limits.replyMs = std::max(0, kSerialNumberLimitMs - int(timer.elapsed()));
    link.setTimeouts(limits);
    answer.serial = link.ReadLoggerSerial();
    link.CloseLink();
    if (expected)
        answer.matches = answer.serial && answer.serial->contains(*expected);
    return answer;
}

} // namespace

QList<ProbeAnswer> probePorts(const QList<ListedPort>& ports,
                              const std::optional<QString>& expected, const Cancellation* cancel,
                              const ProbeProgress& progress) {
    QList<ProbeAnswer> answers;
    for (int i = 0; i < ports.size(); ++i) {
        if (cancel && cancel->requested())
            break;
        if (progress)
            progress(i, int(ports.size()), ports[i].info.device);
        answers << ask(ports[i], expected);
    }
    return answers;
}

QList<ProbeAnswer> matchingAnswers(const QList<ProbeAnswer>& answers) {
    QList<ProbeAnswer> found;
    for (const ProbeAnswer& a : answers)
        if (a.matches.value_or(false))
            found << a;
    return found;
}

} // namespace nodalyx
