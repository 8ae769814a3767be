#pragma once

#include "Cancellation.h"
#include "Link.h"
#include "Operator.h"
#include "SharedState.h"
#include "WriteRequests.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace nodalyx {

// Receives each report line as it is written (without its CR LF).
using ReportLine = std::function<void(const QString& line)>;

struct GeneralUploadResult {
    bool ok = false;        // every item attempted went through (days and interval included)
    bool cancelled = false; // the operator stopped the run between two items
    QString stoppedBy;      // set when a value cannot be sent at all: why, naming the field
    // The settings the logger acknowledged, by the location file's key ("LocationCode",
    // "eExt2", "Sunday" .. "Saterday", "Interval", "eIPaddress", "ePortnumber").
    QStringList acknowledged;
    bool stopped() const { return !stoppedBy.isEmpty(); }
};

// The general-settings items of the upload, in the logger's order: code, name and place (three
// frames each), the four extensions, the seven counting windows, the interval, IP address,
// subnet mask, gateway and port. Every item waits for the logger's acknowledgement and writes
// its report line; a failed item is followed by a line saying why, naming the field and its
// value. A failure of a text, extension, address or port item skips the items after it (the
// extensions line is always written, and one line names what was skipped); a failed day or
// interval does not. A text longer than 10 characters ends the run (its reason is a report
// line too). An address whose four octets are all empty is left out, as an empty text is.
class GeneralUpload {
public:
    GeneralUpload(SharedState& state, Link& link, ReportLine line,
                  const Cancellation* cancel = nullptr);
    GeneralUploadResult run();

private:
    bool stop(const QString& why);
    bool goOn(const QString& item);
    void sendTexts();
    bool sendText(LocationText which, const QString& text, const QString& field);
    void sendExtensions();
    void sendDays();
    bool sendDay(int d);
    void sendInterval();
    void sendAddresses();
    void sendAddress(NetworkAddress which, const Parsed<Address>& address,
                     const QStringList& octets, const QString& key, const QString& name);
    void sendPort();
    // The ack time (4 s) of most items, or the reply time (5 s) of the days and the interval.
    enum class AckWait { Ack, Reply };
    bool acknowledged(bool sent, AckWait wait, const QString& field);
    bool ackWithin5s();
    void fail(const QString& why);
    void report(const QString& line) const;
    void reportSkipped() const;

    SharedState& m_state;
    Link& m_link;
    ReportLine m_line;
    LocationSettings m_values; // the settings typed, parsed when the run starts
    const Cancellation* m_cancel = nullptr;
    bool m_ok = false;    // the chain: a failed text, extension, address or port clears it
    bool m_allOk = false; // every item attempted went through
    bool m_cancelled = false;
    QString m_stoppedBy;
    QStringList m_acknowledged;
    QStringList m_skipped; // items not sent because the chain was broken or cancelled
    QString m_why;         // why the item under way failed, for the line after its report line
};

} // namespace nodalyx
