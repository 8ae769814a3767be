#include "Link.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>

namespace nodalyx {

Link::Link(const GeneralSettings& settings, QObject* parent)
    : QObject(parent), m_settings(settings) {
    m_transport.poll().setInterval(m_timeouts.pollMs);
    connect(&m_transport, &LinkTransport::received, this, &Link::received);
    connect(&m_transport, &LinkTransport::lost, this, &Link::onLost);
    connect(&m_transport, &LinkTransport::stateChanged, this, &Link::wake);
}

Link::~Link() {
    m_transport.disconnect(this);
}

void Link::setTimeouts(const LinkTimeouts& timeouts) {
    m_timeouts = timeouts;
    m_transport.poll().setInterval(timeouts.pollMs);
}

QString Link::busyText() {
    return QStringLiteral("The link is busy with another request.");
}

QString Link::leasedText(const QString& holder) {
    return QStringLiteral("The link is in use by %1.").arg(holder);
}

QString Link::connectionFailedText() const {
    const QString text = QStringLiteral("Connection with Datalogger failed");
    return m_lastFailure.isEmpty() ? text : text + QStringLiteral(": ") + m_lastFailure;
}

QString Link::errorString() const {
    switch (m_error) {
    case LinkError::None:
        return {};
    case LinkError::Busy:
        return busyText();
    case LinkError::Leased:
        return leasedText(m_leaseHolder);
    default:
        return m_lastFailure.isEmpty() ? linkErrorName(m_error) : m_lastFailure;
    }
}

QString Link::unavailableText() const {
    if (isBusy())
        return busyText();
    if (isLeased())
        return leasedText(m_leaseHolder);
    return {};
}

bool Link::refuseWhenUnavailable() {
    const QString why = unavailableText();
    if (why.isEmpty())
        return false;
    m_error = isBusy() ? LinkError::Busy : LinkError::Leased;
    tell(why, Operator::Icon::Warning);
    return true;
}

// Notes the failure of a call; answers false for the caller to return.
bool Link::fail(LinkError error, const QString& failure) {
    m_error = error;
    if (!failure.isEmpty())
        m_lastFailure = failure;
    return false;
}

bool Link::event(QEvent* e) {
    // A deferred delete during a wait would pull the link away under the waiting routine:
    // it is held, ends the wait, and is done once the wait has returned.
    return m_wait.holdDeferredDelete(e) || QObject::event(e);
}

// ---- opening and closing ----

bool Link::OpenLink() {
    if (refuseWhenUnavailable())
        return false;
    QString error;
    const std::optional<LinkEndpoint> endpoint = endpointFor(m_settings, &error);
    if (!endpoint)
        return fail(LinkError::NoEndpoint, error);
    return openEndpoint(*endpoint);
}

bool Link::OpenSerialDevice(const QString& device) {
    if (refuseWhenUnavailable())
        return false;
    LinkEndpoint endpoint;
    endpoint.device = device;
    return openEndpoint(endpoint);
}

bool Link::openEndpoint(const LinkEndpoint& endpoint) {
    m_lastFailure.clear();
    m_error = LinkError::None;
    if (endpoint.isSerial() && m_transport.isOpenOn(endpoint))
        return true;
    m_lost = false;
    if (!endpoint.isSerial())
        return openTcp(endpoint);
    QString error;
    if (!m_transport.openSerial(endpoint, &error))
        return fail(LinkError::OpenFailed, error);
    return true;
}

bool Link::openTcp(const LinkEndpoint& endpoint) {
    // A socket is always connected afresh: the logger may have dropped an idle connection.
    m_transport.startConnect(endpoint);
    const WaitResult waited = waitUntil(
        [this] { return m_transport.connectState() != LinkTransport::ConnectState::Connecting; },
        m_timeouts.connectMs);
    if (waited == WaitResult::Destroyed)
        return false;
    const bool settled = waited == WaitResult::Met;
    if (m_transport.connectState() == LinkTransport::ConnectState::Connected)
        return true;
    // The reason names where the link tried to connect: "192.168.1.20:3101: connection refused".
    const QString reason = settled ? m_transport.failureReason()
                                   : QStringLiteral("no answer within %1 s")
                                         .arg(QString::number(m_timeouts.connectMs / 1000.0));
    m_transport.close();
    return fail(LinkError::OpenFailed, QStringLiteral("%1: %2").arg(endpoint.text(), reason));
}

void Link::CloseLink() {
    if (isBusy())
        return; // never pull the port away under a running wait
    m_transport.close();
}

// ---- the lease ----

LinkLease Link::TakeLease(const QString& holder, QString* why) {
    QString refusal;
    if (isBusy())
        refusal = busyText();
    else if (isLeased())
        refusal = leasedText(m_leaseHolder);
    if (!refusal.isEmpty()) {
        if (why)
            *why = refusal;
        return {};
    }
    m_transport.close();
    m_transport.poll().stop();
    m_rx.clear();
    m_leaseHolder = holder.isEmpty() ? QStringLiteral("another part of the tool") : holder;
    return LinkLease(this, m_leaseHolder);
}

void Link::endLease() {
    m_leaseHolder.clear();
    m_transport.close(); // the holder may have left it in any state; the next exchange reopens
    m_transport.poll().start();
}

// ---- waiting ----

WaitResult Link::waitUntil(const std::function<bool()>& done, int timeoutMs, bool endOnLoss) {
    const WaitResult result =
        m_wait.waitFor(done, std::max(0, timeoutMs),
                       endOnLoss ? [this] { return m_lost; } : std::function<bool()>());
    if (result != WaitResult::Destroyed && result != WaitResult::Deleting)
        tellDeferred();
    return result;
}

void Link::wake() {
    m_wait.wake();
}

// ---- receive path ----

void Link::received(const QByteArray& bytes) {
    emit traffic(false, bytes);
    m_lossTold = false; // the connection works again: a later loss is news
    const qsizetype skippedBefore = m_rx.skipped();
    const int overflow = m_rx.append(bytes);
    noteDropped(m_rx.skipped() - skippedBefore, QStringLiteral("stray"));
    noteDropped(overflow, QStringLiteral("overflow"));
    wake();
}

void Link::noteDropped(qint64 count, const QString& why) {
    if (count <= 0)
        return;
    m_dropped += count;
    emit inputDropped(count, why);
}

void Link::onLost(const QString& text) {
    m_lost = true;
    m_lastFailure = QStringLiteral("connection lost");
    if (!m_lossTold) {
        m_lossTold = true; // once until bytes flow again
        tell(text, Operator::Icon::Critical);
    }
    wake();
}

void Link::tell(const QString& text, Operator::Icon icon) {
    if (isBusy()) {
        if (!m_deferred.contains(std::pair(text, icon)))
            m_deferred.append({text, icon});
        return;
    }
    emit notice(text, icon);
}

void Link::tellDeferred() {
    const auto pending = std::exchange(m_deferred, {});
    for (const auto& [text, icon] : pending)
        emit notice(text, icon);
}

void Link::countFramingError() {
    ++m_framingErrors;
    emit framingErrorsChanged(m_framingErrors);
}

} // namespace nodalyx
