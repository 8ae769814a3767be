#pragma once

#include "HighwayUpload.h"

namespace nodalyx {

inline constexpr const char* kUploadFailedText = "Send configuration failed!";
inline constexpr const char* kUploadDoneText = "Send configuration to datalogger succesfuly!";

struct HighwayUploadOutcome {
    bool declined = false; // the operator said No to the serial-number question
    bool asked[2] = {false, false};
    bool uploaded[2] = {false, false};
    bool ok = false; // the sequence's own verdict: the result of the last file sent
    // Every file asked for went through.
    bool allUploaded() const;
};

// The upload sequence with its highway steps only: closes the link, reads the logger's
// serial number (when the link opens) and asks whether to go on when it does not hold the
// location's eSerialnumber; then UploadHW("HW01.ini") when hw1 and UploadHW("HW02.ini") when
// hw2; closes the link and ends with "Send configuration to datalogger succesfuly!" or "Send
// configuration failed!". A No to the question ends it at once, nothing sent and no message.
// A cancelled file ends the sequence.
HighwayUploadOutcome UploadHighwayFiles(TransferContext& ctx, HighwayUpload& upload, bool hw1,
                                        bool hw2);

} // namespace nodalyx
