#pragma once

#include "GeneralUpload.h"

namespace nodalyx {

struct VerifyResult {
    bool read = false;   // the logger answered the read-back
    int differences = 0; // settings sent that the logger holds otherwise
    int unanswered = 0;  // settings sent that the logger did not report back
    bool cancelled = false;
    bool verified() const { return read && !cancelled && differences == 0 && unanswered == 0; }
};

// Reads the general settings back from the logger (the configuration window's read-out) and
// compares the settings the logger acknowledged (`acknowledged`, by the location file's key as
// GeneralUploadResult names them) with the location's values as sent: one report line for each
// that differs or got no answer, one line naming the items not checked (not sent or not
// acknowledged), then a summary line. The location's settings are left as they were; the link
// is closed at the end.
// A cancel stops the read-back after the query under way; nothing is then called verified.
VerifyResult VerifyUpload(SharedState& state, Link& link, Operator& op, const ReportLine& line,
                          const QStringList& acknowledged, const Cancellation* cancel = nullptr);

} // namespace nodalyx
