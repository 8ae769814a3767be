#pragma once

#include "GeneralUpload.h"

#include <functional>

namespace nodalyx {

inline constexpr const char* kSendFailedText = "Send configuration failed!";
inline constexpr const char* kSendDoneText = "Send configuration to datalogger succesfuly!";
inline constexpr const char* kVerifiedSuffix = " (verified)";

struct UploadChoice {
    bool general = false;
    bool hw1 = false;
    bool hw2 = false;
    // Read the general settings back afterwards; success then also needs every setting sent
    // to be found in the logger.
    bool verify = false;
};

struct UploadOutcome {
    bool declined = false;  // No to the serial-number question: nothing sent
    bool stopped = false;   // a value could not be sent; the operator was told why
    bool cancelled = false; // the operator cancelled; nothing after the item under way was sent
    bool ok = false;        // every item attempted went through (and verified, when asked)
    QString finalMessage;   // empty when declined or stopped
    // Why the run failed when one thing explains it (the logger could not be reached, the run
    // was cancelled), for the final message box; also a line of the report.
    QString reason;
};

enum class StepResult { Failed, Done, Cancelled };

// What a highway step did, and why when it did not go through.
struct StepOutcome {
    StepOutcome(StepResult r = StepResult::Failed, QString why = {})
        : result(r), reason(std::move(why)) {}
    StepResult result;
    QString reason;
};

// Uploads one highway file (1 or 2). Cancelled ends the sequence: nothing after it is sent.
using HighwayStep = std::function<StepOutcome(int highway)>;

// The whole upload: closes and opens the link, checks the logger's serial number (asking
// whether to go on when it does not hold eSerialnumber), sends the general settings when
// chosen, then the chosen highway files (one report line each), closes the link, reads back
// what the logger acknowledged when asked (verify) and answers the final message for the
// caller to show: the success text only when every item attempted went through. A logger that
// cannot be reached (the link does not open, or the serial-number read gets no answer) ends
// the run at once with one reason and nothing sent. The operator's cancel is looked at between
// items; a cancelled run ends with the failure message and says so in its report.
UploadOutcome UploadConfiguration(SharedState& state, Link& link, Operator& op,
                                  const UploadChoice& choice, const HighwayStep& highway,
                                  const ReportLine& line, const Cancellation* cancel = nullptr);

// The text shown at the end of a run: the final message, and below it the reason when there is
// one.
QString finalMessageText(const UploadOutcome& outcome);

} // namespace nodalyx
