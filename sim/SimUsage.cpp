// The --help text of nodalyx-loggersim.
#include "SimOptions.h"

namespace nodalyx::sim {

QString simUsage() {
    return QStringLiteral(
        "Usage: nodalyx-loggersim [--tcp [HOST:]PORT] [--pty LINK] [options]\n"
        "\n"
        "A stand-in for the counting datalogger: answers the configuration tool's requests.\n"
        "\n"
        "Where it listens (at least one):\n"
        "  --tcp [HOST:]PORT   TCP on HOST (default 127.0.0.1); port 0 picks a free port\n"
        "  --pty LINK          a pseudo-terminal with a symbolic link LINK to it; point the\n"
        "                      tool at it with NODALYX_COM<n>=LINK (Linux)\n"
        "\n"
        "State:\n"
        "  --state FILE        load the state from FILE (JSON) when it exists; save it there\n"
        "                      after every stored setting and at the end\n"
        "  --serial TEXT       the serial number (up to 10 characters)\n"
        "  --fixed-counts      counters stay as they are\n"
        "  --growing-counts    counters grow every 2 seconds (the default)\n"
        "  --files DIR         folder holding HW01.ini and HW02.ini for file transfers\n"
        "  --block-size N      bytes per block of a file download, 1..4096 (default 1024)\n"
        "\n"
        "Faults:\n"
        "  --delay MS          start every reply MS milliseconds late\n"
        "  --silent            take requests but never answer\n"
        "  --nak CODES         answer these command codes (comma-separated) with NAK\n"
        "  --corrupt CODES     replies to these codes carry a wrong checksum\n"
        "  --extra-byte CODES  replies to these codes get one byte too many\n"
        "  --drop-byte CODES   replies to these codes lose their last byte\n"
        "  --close-on CODES    hang up the TCP connection instead of answering these codes\n"
        "  --cut CODE:N,...    replies to CODE keep only their first N bytes\n"
        "  --garbage CODES     replies to these codes carry control characters as data\n"
        "  --chunk N           send replies in pieces of N bytes\n"
        "  --chunk-gap MS      pause between pieces\n"
        "  --baud RATE         pace output at RATE baud (10 bits a byte), e.g. 19200\n"
        "  --late-byte MS      send the last byte of every reply MS milliseconds late\n"
        "  --stray N           send N noise bytes in front of every reply\n"
        "  --flood N           send N noise bytes behind every reply\n"
        "  --packet-fault CODE:NUMBER:KIND[:TIMES[:VALUE]]\n"
        "                      a fault of the file transfer for packets of that code (6, 11,\n"
        "                      13) and number (* for any): silent, nak, crc, pieces (VALUE\n"
        "                      bytes each), late (VALUE ms), hangup; TIMES packets (default\n"
        "                      1, 0 every one); may be given more than once\n"
        "\n"
        "Other:\n"
        "  --verbose           log every request, packet and reply on stderr\n"
        "  -h, --help          this text\n"
        "  --version           the version\n");
}

} // namespace nodalyx::sim
