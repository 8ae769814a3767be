#include "PseudoTerminal.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace nodalyx::sim {

PseudoTerminal::PseudoTerminal(QObject* parent) : QObject(parent) {}

PseudoTerminal::~PseudoTerminal() {
    close();
}

#ifdef Q_OS_UNIX
bool PseudoTerminal::open(const QString& linkPath) {
    close();
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        m_master = m_slave = -1;
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    // A tool started as a child process must not inherit our ends: closing the master would
    // then leave it open there, and the tool would never see the line go away.
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_device = QString::fromLocal8Bit(name);
    if (!linkPath.isEmpty()) {
        // Replace an old link of ours, never a file that something else put there.
        const QFileInfo existing(linkPath);
        if (existing.isSymLink()) {
            QFile::remove(linkPath);
        } else if (existing.exists()) {
            m_error =
                QStringLiteral("%1 exists and is not a link; choose another path").arg(linkPath);
            close();
            return false;
        }
        if (!QFile::link(m_device, linkPath)) {
            m_error = QStringLiteral("cannot create the link %1 to %2").arg(linkPath, m_device);
            close();
            return false;
        }
        m_link = linkPath;
    }
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::flushOutput);
    return true;
}

void PseudoTerminal::close() {
    delete m_readNotifier;
    delete m_writeNotifier;
    m_readNotifier = m_writeNotifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
    if (!m_link.isEmpty())
        QFile::remove(m_link);
    m_link.clear();
    m_pending.clear();
}

void PseudoTerminal::readMaster() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        emit received(QByteArray(buffer, int(n)));
    }
}

void PseudoTerminal::write(const QByteArray& bytes) {
    if (m_master < 0)
        return;
    m_pending.append(bytes);
    flushOutput();
}

void PseudoTerminal::flushOutput() {
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n <= 0)
            break;
        m_pending.remove(0, n);
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_pending.isEmpty());
}
#else
bool PseudoTerminal::open(const QString&) {
    m_error = QStringLiteral("pseudo-terminals are not available on this system");
    return false;
}
void PseudoTerminal::close() {}
void PseudoTerminal::readMaster() {}
void PseudoTerminal::write(const QByteArray&) {}
void PseudoTerminal::flushOutput() {}
#endif

} // namespace nodalyx::sim
