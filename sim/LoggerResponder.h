#pragma once

#include "LoggerCodes.h"

#include "LoggerState.h"

#include <QByteArray>
#include <QHash>

namespace nodalyx::sim {

// The logger's answer to one request frame. Data replies are FF, the command code as the
// second byte, the data and a checksum; settings are acknowledged with ACK (6); a frame with a
// bad checksum, an unknown code or a value the logger cannot take gets NAK (21).
class LoggerResponder {
public:
    explicit LoggerResponder(LoggerState& state) : m_state(state) {}

    struct Answer {
        QByteArray bytes;
        bool changed = false; // a setting was stored
    };
    Answer respond(const QByteArray& frame);

    static QByteArray dataReply(quint8 code, const QByteArray& data);

private:
    Answer read(quint8 code, const QByteArray& frame);
    Answer write(quint8 code, const QByteArray& frame);
    QByteArray memoryRead(const QByteArray& frame) const;
    bool writeTextPart(quint8 code, const QByteArray& frame);
    QString* textField(quint8 code);

    LoggerState& m_state;
    QHash<int, QByteArray> m_textParts; // the 10 characters collected for 102, 104, 106
};

// Fixed-width text on the wire: at most width characters, blanks added on the right (on the
// left when rightAlign).
QByteArray fixedText(const QString& text, int width, bool rightAlign = false);

} // namespace nodalyx::sim
