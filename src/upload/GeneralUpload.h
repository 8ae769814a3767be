#pragma once

#include "Link.h"
#include "Operator.h"
#include "SharedState.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace nodalyx {

// Receives each report line as it is written (without its CR LF).
using ReportLine = std::function<void(const QString& line)>;

struct GeneralUploadResult {
    bool ok = false;   // every item that clears ok went through
    QString stoppedBy; // set when a value cannot be sent at all: why, naming the field
    bool stopped() const { return !stoppedBy.isEmpty(); }
};

// The general-settings items of the upload, in the logger's order: code, name and place (three
// frames each), the four extensions, the seven counting windows, the interval, IP address,
// subnet mask, gateway and port. Every item waits for the logger's acknowledgement and writes
// its report line. A failure of a text, extension, address or port item skips the items after
// it (the extensions line is always written); a failed day or interval does not.
class GeneralUpload {
public:
    GeneralUpload(SharedState& state, Link& link, ReportLine line);
    GeneralUploadResult run();

    // The ten bytes a text travels in: the low byte of each character, zeros after the text.
    static QByteArray textBuffer(const QString& text);

private:
    bool stop(const QString& why);
    bool sendTexts();
    bool sendText(int code, const QString& text, const QString& field);
    bool sendExtensions();
    bool sendDays();
    bool sendInterval();
    void sendAddresses();
    void sendAddress(int code, const QStringList& octets, const QString& field,
                     const QString& okLine, const QString& failedLine);
    static QString octetProblem(const QStringList& octets, const QString& field);
    void sendPort();
    bool ackWithin5s();
    void report(const QString& line) const;

    SharedState& m_state;
    Link& m_link;
    ReportLine m_line;
    bool m_ok = false;
    QString m_stoppedBy;
};

} // namespace nodalyx
