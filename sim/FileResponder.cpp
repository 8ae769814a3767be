#include "FileResponder.h"

namespace nodalyx::sim {

namespace {
const QByteArray kAck("ACK");
const QByteArray kNakText("NAK");

std::optional<qint64> decimal(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 12)
        return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return text.toLongLong();
}
} // namespace

SimPacket FileResponder::refusal(const SimPacket& request) {
    const quint8 code = request.code == SimPacket::kBlockRequest ? SimPacket::kRefusal
                        : request.code == SimPacket::kUpload     ? SimPacket::kUpload
                                                                 : SimPacket::kFileRequest;
    return {code, request.number, kNakText, {}};
}

FileResponder::Answer FileResponder::respond(const SimPacket& request) {
    switch (request.code) {
    case SimPacket::kFileRequest:
        return {fileRequest(request), {}};
    case SimPacket::kBlockRequest:
        return {blockRequest(request), {}};
    case SimPacket::kUpload:
        return upload(request);
    default:
        return {refusal(request), {}};
    }
}

SimPacket FileResponder::fileRequest(const SimPacket& request) {
    QByteArray text;
    m_haveFile = request.number == 0 && m_files.read(request.text1, text);
    if (!m_haveFile) {
        m_sending.clear();
        return refusal(request);
    }
    m_sending = text + "\r\n";
    const qint64 blocks = (m_sending.size() + m_blockSize - 1) / m_blockSize;
    return {SimPacket::kFileRequest, 0, QByteArray::number(m_sending.size()),
            QByteArray::number(blocks)};
}

SimPacket FileResponder::blockRequest(const SimPacket& request) const {
    const qint64 blocks = (m_sending.size() + m_blockSize - 1) / m_blockSize;
    if (!m_haveFile || request.number < 1 || request.number > blocks)
        return refusal(request);
    const qint64 from = qint64(request.number - 1) * m_blockSize;
    return {SimPacket::kFileRequest, request.number, m_sending.mid(from, m_blockSize), {}};
}

FileResponder::Answer FileResponder::upload(const SimPacket& request) {
    Answer answer{refusal(request), {}};
    if (request.number == 0) {
        if (LoggerFiles::localName(request.text1).isEmpty())
            return answer;
        m_upload = Upload{request.text1, std::nullopt, 0, {}, false};
    } else if (request.number == 1) {
        if (!takeSize(request))
            return answer;
    } else {
        if (!m_upload || !m_upload->size || request.number > m_upload->last)
            return answer;
        if (!m_upload->stored) {
            m_upload->blocks[request.number] = request.text1; // a repeat replaces itself
            if (request.number == m_upload->last && !storeIfComplete(answer))
                return answer;
        }
    }
    answer.reply.text1 = kAck;
    return answer;
}

bool FileResponder::takeSize(const SimPacket& request) {
    const std::optional<qint64> size = decimal(request.text1);
    const std::optional<qint64> last = decimal(request.text2);
    if (!m_upload || m_upload->stored || !size || !last || *last < 2 ||
        *size > LoggerFiles::kMaxFileSize || *last > *size + 2)
        return false;
    m_upload->size = *size;
    m_upload->last = quint32(*last);
    m_upload->blocks.clear();
    return true;
}

bool FileResponder::storeIfComplete(Answer& answer) {
    QByteArray text;
    for (quint32 n = 2; n <= m_upload->last; ++n) {
        if (!m_upload->blocks.contains(n))
            return false;
        text += m_upload->blocks.value(n);
    }
    if (text.size() != *m_upload->size || !m_files.write(m_upload->name, text))
        return false;
    m_upload->stored = true;
    answer.stored = LoggerFiles::localName(m_upload->name);
    return true;
}

} // namespace nodalyx::sim
