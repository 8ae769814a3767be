#include "PacketReader.h"

namespace nodalyx {

void PacketReader::feed(QByteArrayView bytes) {
    m_buffer.append(bytes);
    // A packet is never larger than this, so older bytes cannot belong to the reply.
    if (m_buffer.size() > kMaxPacketSize) {
        noteNoise(QByteArrayView(m_buffer).first(m_buffer.size() - kMaxPacketSize));
        consume(m_buffer.size() - kMaxPacketSize);
    }
}

void PacketReader::clear() {
    m_buffer.clear();
    m_seen.clear();
}

void PacketReader::noteNoise(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return;
    if (!m_seen.isEmpty() && m_seen.last().verdict == Seen::Verdict::Noise) {
        m_seen.last().bytes += bytes.size();
        m_seen.last().raw += bytes;
    } else {
        m_seen.append({Seen::Verdict::Noise, {}, bytes.size(), bytes.toByteArray()});
    }
}

void PacketReader::consume(qsizetype count) {
    m_buffer.remove(0, count);
}

PacketReader::Result PacketReader::take(quint32 number) {
    // Scan every start byte: a false start in noise may wait for bytes that never come, while
    // a whole packet behind it is already in.
    qsizetype firstOpen = -1; // the earliest start that may still become a packet
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = m_buffer.indexOf(char(kPacketStart), from);
        if (at < 0)
            break;
        const PacketScan scan = scanPacket(QByteArrayView(m_buffer).sliced(at));
        from = at + 1;
        if (scan.kind == PacketScan::Kind::Incomplete) {
            if (firstOpen < 0)
                firstOpen = at;
            continue;
        }
        if (scan.kind == PacketScan::Kind::NotAPacket)
            continue;
        const bool ours = scan.packet.number == number;
        if (scan.kind == PacketScan::Kind::BadCrc) {
            if (!ours || firstOpen >= 0)
                continue; // perhaps noise that looks like a start; keep looking
            noteNoise(QByteArrayView(m_buffer).first(at));
            m_seen.append(
                {Seen::Verdict::BadCrc, scan.packet, scan.size, m_buffer.mid(at, scan.size)});
            consume(at + scan.size);
            return {Result::Outcome::BadCrc, {}};
        }
        noteNoise(QByteArrayView(m_buffer).first(at));
        m_seen.append({ours ? Seen::Verdict::Taken : Seen::Verdict::Dropped, scan.packet, scan.size,
                       m_buffer.mid(at, scan.size)});
        consume(at + scan.size);
        if (ours)
            return {Result::Outcome::Reply, scan.packet};
        firstOpen = -1;
        from = 0;
    }
    // Nothing whole for this request: keep only what may still become a packet.
    const qsizetype keepFrom = firstOpen >= 0 ? firstOpen : m_buffer.size();
    noteNoise(QByteArrayView(m_buffer).first(keepFrom));
    consume(keepFrom);
    return {};
}

void PacketReader::keepWholePackets() {
    QByteArray kept;
    qsizetype at = 0;
    while (at < m_buffer.size()) {
        const PacketScan scan = scanPacket(QByteArrayView(m_buffer).sliced(at));
        if (scan.kind == PacketScan::Kind::Packet) {
            kept += m_buffer.mid(at, scan.size);
            at += scan.size;
        } else {
            noteNoise(QByteArrayView(m_buffer).sliced(at, 1));
            ++at;
        }
    }
    m_buffer = kept;
}

QList<PacketReader::Seen> PacketReader::takeSeen() {
    return std::exchange(m_seen, {});
}

QString verdictText(PacketReader::Seen::Verdict verdict) {
    switch (verdict) {
    case PacketReader::Seen::Verdict::Taken:
        return QStringLiteral("CRC ok");
    case PacketReader::Seen::Verdict::Dropped:
        return QStringLiteral("CRC ok, not the number asked for: dropped");
    case PacketReader::Seen::Verdict::BadCrc:
        return QStringLiteral("CRC wrong: no reply");
    case PacketReader::Seen::Verdict::Noise:
        break;
    }
    return QStringLiteral("not a packet: skipped");
}

} // namespace nodalyx
