#pragma once

namespace nodalyx {

// Every time limit of the link, in milliseconds of elapsed (monotonic) time. The defaults are
// the values the logger is known to need; tests pass shorter ones.
struct LinkTimeouts {
    int replyMs = 5000;   // a data reply (clock, serial number, memory read)
    int ackMs = 4000;     // an acknowledgement after an upload frame
    int connectMs = 5000; // a TCP connection to come up
    int pollMs = 100;     // the receive poll of the serial port (TTcomm)
};

} // namespace nodalyx
