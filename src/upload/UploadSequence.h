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
    bool declined = false; // No to the serial-number question: nothing sent
    bool stopped = false;  // a value could not be sent; the operator was told why
    bool ok = false;
    QString finalMessage; // empty when declined or stopped
};

enum class StepResult { Failed, Done, Cancelled };

// Uploads one highway file (1 or 2). Cancelled ends the sequence: nothing after it is sent.
using HighwayStep = std::function<StepResult(int highway)>;

// The whole upload: closes and opens the link, checks the logger's serial number (asking
// whether to go on when it does not hold eSerialnumber), sends the general settings when
// chosen, then the chosen highway files (each result replaces the verdict), closes the link,
// reads the settings back when asked (verify) and answers the final message for the caller to
// show. A cancelled highway file ends the sequence with the failure message.
UploadOutcome UploadConfiguration(SharedState& state, Link& link, Operator& op,
                                  const UploadChoice& choice, const HighwayStep& highway,
                                  const ReportLine& line);

} // namespace nodalyx
