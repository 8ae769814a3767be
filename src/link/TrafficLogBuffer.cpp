#include "TrafficLogBuffer.h"

#include <QSaveFile>
#include <algorithm>

namespace nodalyx {

TrafficLogBuffer::TrafficLogBuffer(int capacity) : m_capacity(std::max(1, capacity)) {}

void TrafficLogBuffer::append(const QString& line) {
    m_lines.push_back(line);
    if (int(m_lines.size()) > m_capacity)
        m_lines.pop_front();
    ++m_appended;
}

void TrafficLogBuffer::clear() {
    m_lines.clear();
    m_appended = 0;
    m_pausedAt = 0;
}

QStringList TrafficLogBuffer::lines() const {
    return QStringList(m_lines.begin(), m_lines.end());
}

QStringList TrafficLogBuffer::linesAfter(qint64 shown) const {
    const qint64 fresh = std::clamp<qint64>(m_appended - shown, 0, qint64(m_lines.size()));
    return QStringList(m_lines.end() - fresh, m_lines.end());
}

void TrafficLogBuffer::setPaused(bool paused) {
    m_paused = paused;
    m_pausedAt = m_appended;
}

bool TrafficLogBuffer::save(const QString& path, QString* error) const {
    QByteArray text;
    for (const QString& line : m_lines)
        text += line.toUtf8() + "\r\n";
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

} // namespace nodalyx
