#include "SimOptions.h"

namespace nodalyx::sim {

namespace {
bool parseInt(const QString& text, int min, int max, int& out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    out = v;
    return true;
}

bool parseTcp(const QString& text, SimOptions& o) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    int port = 0;
    if (!parseInt(colon < 0 ? text : text.mid(colon + 1), 0, 65535, port))
        return false;
    if (colon >= 0) {
        QString host = text.left(colon);
        if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
            host = host.mid(1, host.size() - 2);
        if (host == QLatin1String("localhost"))
            host = QStringLiteral("127.0.0.1");
        if (!o.host.setAddress(host))
            return false;
    }
    o.tcp = true;
    o.port = quint16(port);
    return true;
}
} // namespace

bool parseCodes(const QString& text, QSet<int>& out) {
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        int code = 0;
        if (!parseInt(part.trimmed(), 0, 255, code))
            return false;
        out.insert(code);
    }
    return true;
}

bool parseCuts(const QString& text, QHash<int, int>& out) {
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList pair = part.split(QLatin1Char(':'));
        int code = 0;
        int length = 0;
        if (pair.size() != 2 || !parseInt(pair[0].trimmed(), 0, 255, code) ||
            !parseInt(pair[1].trimmed(), 0, 65536, length))
            return false;
        out.insert(code, length);
    }
    return true;
}

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
        "  --verbose           log every request and reply on stderr\n"
        "  --help              this text\n");
}

std::optional<SimOptions> parseSimOptions(const QStringList& args, QString* error, bool* help) {
    SimOptions o;
    *help = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("%1 needs a value").arg(a);
                return false;
            }
            out = args[++i];
            return true;
        };
        auto number = [&](int min, int max, int& out) {
            QString v;
            if (!value(v))
                return false;
            if (!parseInt(v, min, max, out)) {
                *error = QStringLiteral("%1: '%2' is not a number from %3 to %4")
                             .arg(a, v)
                             .arg(min)
                             .arg(max);
                return false;
            }
            return true;
        };
        auto codes = [&](QSet<int>& out) {
            QString v;
            if (!value(v))
                return false;
            if (!parseCodes(v, out)) {
                *error = QStringLiteral("%1: '%2' is not a list of codes 0..255").arg(a, v);
                return false;
            }
            return true;
        };
        QString v;
        bool ok = true;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            *help = true;
            return o;
        } else if (a == QLatin1String("--tcp")) {
            ok = value(v);
            if (ok && !parseTcp(v, o)) {
                *error = QStringLiteral("--tcp: '%1' is not [HOST:]PORT").arg(v);
                ok = false;
            }
        } else if (a == QLatin1String("--pty")) {
            ok = value(o.ptyLink);
        } else if (a == QLatin1String("--state")) {
            ok = value(o.stateFile);
        } else if (a == QLatin1String("--serial")) {
            ok = value(o.serial);
        } else if (a == QLatin1String("--files")) {
            ok = value(o.filesFolder);
        } else if (a == QLatin1String("--block-size")) {
            ok = number(1, 4096, o.blockSize);
        } else if (a == QLatin1String("--packet-fault")) {
            ok = value(v);
            const auto fault = ok ? parsePacketFault(v) : std::nullopt;
            if (ok && !fault) {
                *error = QStringLiteral("--packet-fault: '%1' is not CODE:NUMBER:KIND[:TIMES"
                                        "[:VALUE]]")
                             .arg(v);
                ok = false;
            }
            if (fault)
                o.faults.packetFaults.append(*fault);
        } else if (a == QLatin1String("--fixed-counts")) {
            o.growing = false;
        } else if (a == QLatin1String("--growing-counts")) {
            o.growing = true;
        } else if (a == QLatin1String("--delay")) {
            ok = number(0, 600000, o.faults.delayMs);
        } else if (a == QLatin1String("--silent")) {
            o.faults.silent = true;
        } else if (a == QLatin1String("--nak")) {
            ok = codes(o.faults.nakCodes);
        } else if (a == QLatin1String("--corrupt")) {
            ok = codes(o.faults.corruptCodes);
        } else if (a == QLatin1String("--extra-byte")) {
            ok = codes(o.faults.extraByteCodes);
        } else if (a == QLatin1String("--drop-byte")) {
            ok = codes(o.faults.dropByteCodes);
        } else if (a == QLatin1String("--close-on")) {
            ok = codes(o.faults.closeCodes);
        } else if (a == QLatin1String("--cut")) {
            ok = value(v);
            if (ok && !parseCuts(v, o.faults.cutCodes)) {
                *error = QStringLiteral("--cut: '%1' is not a list of CODE:LENGTH").arg(v);
                ok = false;
            }
        } else if (a == QLatin1String("--chunk")) {
            ok = number(0, 65536, o.faults.chunkSize);
        } else if (a == QLatin1String("--chunk-gap")) {
            ok = number(0, 60000, o.faults.chunkGapMs);
        } else if (a == QLatin1String("--late-byte")) {
            ok = number(0, 60000, o.faults.lateByteMs);
        } else if (a == QLatin1String("--stray")) {
            ok = number(0, 65536, o.faults.strayBytes);
        } else if (a == QLatin1String("--flood")) {
            ok = number(0, 16 * 1024 * 1024, o.faults.floodBytes);
        } else if (a == QLatin1String("--baud")) {
            ok = number(0, 4000000, o.faults.baud);
        } else if (a == QLatin1String("--verbose")) {
            o.verbose = true;
        } else {
            *error = QStringLiteral("unknown option '%1'").arg(a);
            ok = false;
        }
        if (!ok)
            return std::nullopt;
    }
    if (!o.tcp && o.ptyLink.isEmpty()) {
        *error = QStringLiteral("give --tcp [HOST:]PORT or --pty LINK");
        return std::nullopt;
    }
    return o;
}

} // namespace nodalyx::sim
