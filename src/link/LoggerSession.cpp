#include "LoggerSession.h"
#include "LocationSettings.h"

#include "LinkEndpoint.h"
#include "PrintableText.h"

#include <QObject>

namespace nodalyx {

LoggerSession::LoggerSession(Link& link, Operator& op, const GeneralSettings& settings,
                             SessionPolicy policy)
    : m_link(link), m_op(op), m_settings(settings), m_policy(std::move(policy)) {}

LoggerSession::~LoggerSession() {
    if (!m_started || m_closed)
        return;
    if (m_policy.close == SessionPolicy::Close::Always || !isSerial(m_settings))
        m_link.CloseLink();
}

void LoggerSession::close() {
    m_closed = true;
    m_link.CloseLink();
}

void LoggerSession::showHourglass() {
    if (!m_hourglass)
        m_hourglass.emplace(m_op);
}

void LoggerSession::releaseHourglass() {
    if (m_hourglass)
        m_hourglass->release();
}

LoggerSession::Start LoggerSession::start() {
    if (m_link.refuseWhenUnavailable())
        return Start::Unavailable;
    if (m_policy.hourglassFirst)
        showHourglass();
    m_started = true;
    if (!open())
        return Start::OpenFailed;
    if (m_policy.serial == SessionPolicy::Serial::None)
        return Start::Ready;
    if (!serialChecked())
        return m_remote ? Start::Declined : Start::NoSerial;
    return Start::Ready;
}

bool LoggerSession::open() {
    if (m_policy.reopen)
        m_link.CloseLink();
    if (m_link.OpenLink())
        return true;
    tellFailure();
    return false;
}

// A serial port that cannot be opened is told in the link's words (naming the device); any
// other failure in the policy's text. Nothing is told when the policy leaves it to the routine.
void LoggerSession::tellFailure() {
    if (!m_policy.failureText)
        return;
    releaseHourglass();
    const bool portFailed =
        m_link.lastError() == LinkError::OpenFailed || m_link.lastError() == LinkError::NoEndpoint;
    if (isSerial(m_settings) && portFailed)
        m_op.message(m_link.lastFailure(), Operator::Icon::Critical);
    else
        m_op.message(m_policy.failureText(m_link), Operator::Icon::Critical);
}

std::optional<QString> answeredSerial(const std::optional<QString>& reply) {
    if (reply && reply->compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    return reply;
}

bool LoggerSession::serialChecked() {
    m_remote = answeredSerial(m_link.ReadLoggerSerial());
    if (m_remote && m_policy.serial == SessionPolicy::Serial::WakeThenCompare)
        m_remote = m_link.ReadLoggerSerial().value_or(QStringLiteral("False"));
    if (!m_remote) {
        tellFailure();
        close();
        return false;
    }
    const QString& local = m_settings.eSerialnumber;
    if (m_remote->contains(local) || continueWithOtherLogger(m_op, local, *m_remote))
        return true;
    close();
    return false;
}

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

QMetaObject::Connection tellNotices(Link& link, Operator& op) {
    return QObject::connect(
        &link, &Link::notice, &link,
        [&op](const QString& text, Operator::Icon icon) { op.message(text, icon); });
}

} // namespace nodalyx
