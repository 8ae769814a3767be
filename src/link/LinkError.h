#pragma once

#include <QString>

namespace nodalyx {

// What went wrong with a call on the link.
enum class LinkError {
    None,
    Busy,        // a wait of another exchange runs
    Leased,      // the device is handed over (file transfer, highway test)
    NoEndpoint,  // the settings name no usable port or address
    OpenFailed,  // the serial port cannot be opened, or the TCP connection failed
    NotOpen,     // a request on a closed port or an unconnected socket
    WriteFailed, // the request could not be written
    NoAnswer,    // no (complete) answer within the time
    Lost,        // the connection went away
    BadReply,    // an answer that fails its checksum or cannot be decoded
};

// A short name of the kind ("busy", "no answer", ...), for logs and traces.
QString linkErrorName(LinkError error);

} // namespace nodalyx
