#pragma once

#include <QtGlobal>

namespace nodalyx {

// The logger's counters are 16 bits wide and wrap: after 65535 comes 0. The change from one
// read to the next is taken modulo 65536, so 65535 then 3 is a change of 4, never -65532.
inline quint16 counterStep(quint16 previous, quint16 current) {
    return quint16(current - previous);
}

// One counter followed from the start of monitoring: the change since then, adding each
// read's step, so any number of wraps between the first and the last read are counted (as
// long as two reads are less than 65536 counts apart).
class CountChange {
public:
    // The first value seen; the change starts at 0.
    void start(quint16 value) {
        m_last = value;
        m_total = 0;
        m_step = 0;
        m_started = true;
    }
    // The next read; answers the step since the previous one (0 for the first read).
    quint16 next(quint16 value) {
        if (!m_started) {
            start(value);
            return 0;
        }
        m_step = counterStep(m_last, value);
        m_last = value;
        m_total += m_step;
        return m_step;
    }
    qint64 total() const { return m_total; }
    // The step of the last read.
    quint16 lastStep() const { return m_step; }
    bool started() const { return m_started; }

private:
    quint16 m_last = 0;
    qint64 m_total = 0;
    quint16 m_step = 0;
    bool m_started = false;
};

} // namespace nodalyx
