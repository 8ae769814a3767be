#pragma once

#include <atomic>

namespace nodalyx {

// The operator's request to stop a long run. A window's Cancel button (or Escape, or Ctrl-C in
// the command-line tool) requests it; the routine looks at it between two exchanges with the
// logger, so the exchange under way always ends whole and the link is closed as usual. A survey
// requests it from its own thread while a worker's routine looks at it: the flag is atomic.
class Cancellation {
public:
    void request() { m_requested.store(true); }
    void reset() { m_requested.store(false); }
    bool requested() const { return m_requested.load(); }

private:
    std::atomic<bool> m_requested = false;
};

} // namespace nodalyx
