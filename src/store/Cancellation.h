#pragma once

namespace nodalyx {

// The operator's request to stop a long run. A window's Cancel button (or Escape, or Ctrl-C in
// the command-line tool) requests it; the routine looks at it between two exchanges with the
// logger, so the exchange under way always ends whole and the link is closed as usual.
class Cancellation {
public:
    void request() { m_requested = true; }
    void reset() { m_requested = false; }
    bool requested() const { return m_requested; }

private:
    bool m_requested = false;
};

} // namespace nodalyx
