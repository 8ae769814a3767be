#pragma once

#include <QByteArray>

namespace nodalyx {

// The receive buffer never grows beyond this; bytes beyond it are dropped (and counted), so an
// oversized or endless answer fails its length check instead of eating memory.
inline constexpr int kRxBufferLimit = 64 * 1024;

// When a wait for an answer is complete.
struct ReplyRule {
    enum class Kind {
        Ack,     // the buffer starts with ACK and no NAK was seen
        Exactly, // a data reply of exactly `length` bytes; a longer one never fits
        AtLeast, // a data reply of at least `length` bytes
        Whole,   // a data reply of `length` bytes; at the deadline `minimum` bytes will do
        Raw,     // at least `length` bytes, whatever the first one is
    };
    Kind kind = Kind::Ack;
    int length = 0;
    int minimum = 0;

    static ReplyRule ack() { return {Kind::Ack, 0, 0}; }
    static ReplyRule exactly(int n) { return {Kind::Exactly, n, n}; }
    static ReplyRule atLeast(int n) { return {Kind::AtLeast, n, n}; }
    static ReplyRule whole(int minimum, int n) { return {Kind::Whole, n, minimum}; }
    static ReplyRule raw(int n) { return {Kind::Raw, n, n}; }
    // Data replies start with 0xFF; bytes in front of it are strays to skip.
    bool wantsSync() const { return kind != Kind::Ack && kind != Kind::Raw; }
};

// Collects the bytes of one answer. Pure: it is fed bytes and answers whether the answer is
// complete under its rule; the link feeds it and runs the wait.
//
// The ACK and NAK flags follow the first byte of the buffer: they are set when it is 6 or 21
// and only cleared by clear(). For data replies, bytes in front of the first 0xFF are dropped
// as they arrive (a late byte of an earlier answer, line noise) and counted in skipped().
class ReplyAssembler {
public:
    enum class Status {
        Pending,  // keep waiting
        Complete, // the rule is met
        Overrun,  // more bytes than the rule allows: waiting longer cannot help
    };

    explicit ReplyAssembler(int limit = kRxBufferLimit) : m_limit(limit) {}

    // A new exchange: empties the buffer and clears flags and counts.
    void clear();
    // The rule of the wait that starts now; skips strays already in the buffer.
    void expect(ReplyRule rule);
    // Appends bytes (up to the limit); answers how many were dropped for lack of room.
    int append(const QByteArray& bytes);

    Status status() const;
    // At the deadline: the answer will do although it is not complete (a Whole reply that has
    // its minimum).
    bool acceptableAtDeadline() const;

    const QByteArray& buffer() const { return m_buffer; }
    bool ack() const { return m_ack; }
    bool nak() const { return m_nak; }
    qsizetype skipped() const { return m_skipped; }
    qsizetype overflow() const { return m_overflow; }
    // Empties the buffer, keeping the flags (a routine that has taken its reply).
    void takeBuffer() { m_buffer.clear(); }

private:
    void skipStrays();
    void noteFlags();

    QByteArray m_buffer;
    ReplyRule m_rule;
    int m_limit;
    bool m_ack = false;
    bool m_nak = false;
    qsizetype m_skipped = 0;
    qsizetype m_overflow = 0;
};

} // namespace nodalyx
