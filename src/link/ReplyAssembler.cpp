#include "ReplyAssembler.h"

#include "LoggerCodes.h"

namespace nodalyx {

void ReplyAssembler::clear() {
    m_buffer.clear();
    m_rule = ReplyRule::ack();
    m_ack = false;
    m_nak = false;
    m_skipped = 0;
    m_overflow = 0;
}

void ReplyAssembler::expect(ReplyRule rule) {
    m_rule = rule;
    skipStrays();
}

int ReplyAssembler::append(const QByteArray& bytes) {
    const qsizetype room = std::max<qsizetype>(0, m_limit - m_buffer.size());
    const qsizetype taken = std::min(room, bytes.size());
    m_buffer.append(bytes.constData(), taken);
    m_overflow += bytes.size() - taken;
    skipStrays();
    noteFlags();
    return int(bytes.size() - taken);
}

void ReplyAssembler::skipStrays() {
    if (!m_rule.wantsSync() || m_buffer.isEmpty() || quint8(m_buffer.at(0)) == kSync)
        return;
    const qsizetype sync = m_buffer.indexOf(char(kSync));
    const qsizetype drop = sync < 0 ? m_buffer.size() : sync;
    m_buffer.remove(0, drop);
    m_skipped += drop;
}

void ReplyAssembler::noteFlags() {
    if (m_buffer.isEmpty())
        return;
    if (m_buffer.at(0) == kAck)
        m_ack = true;
    if (m_buffer.at(0) == kNak)
        m_nak = true;
}

ReplyAssembler::Status ReplyAssembler::status() const {
    const qsizetype n = m_buffer.size();
    switch (m_rule.kind) {
    case ReplyRule::Kind::Ack:
        return m_ack && !m_nak ? Status::Complete : Status::Pending;
    case ReplyRule::Kind::Exactly:
        return n == m_rule.length ? Status::Complete
                                  : (n > m_rule.length ? Status::Overrun : Status::Pending);
    case ReplyRule::Kind::AtLeast:
    case ReplyRule::Kind::Whole:
    case ReplyRule::Kind::Raw:
        return n >= m_rule.length ? Status::Complete : Status::Pending;
    }
    return Status::Pending;
}

bool ReplyAssembler::acceptableAtDeadline() const {
    return m_rule.kind == ReplyRule::Kind::Whole && !m_buffer.isEmpty() &&
           m_buffer.size() >= m_rule.minimum;
}

} // namespace nodalyx
