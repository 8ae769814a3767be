#pragma once

#include "TransferContext.h"

#include <QString>

namespace nodalyx {

// The texts of the download.
inline constexpr const char* kBackupNoticeText = "Old configurations files will be copied to .BAK";
inline constexpr const char* kConnectionBrokenText = "Connection broken!";

struct DownloadResult {
    bool result = true;     // GetFile's own answer (see GetFile)
    bool saved = false;     // the local file was replaced by the logger's
    bool cancelled = false; // the operator cancelled; nothing was written
};

// Downloads one highway file ("HW01.ini" or "HW02.ini") of the logger into the location's
// folder: closes the tool's link, opens the transfer on the location's port (it takes the
// link's device), asks for the file (three tries) and its blocks (a bad block is asked again
// up to five times in a row, with a beep each), and writes it through saveDownloadedFile
// once the whole text is in. The transfer is closed again on every path. result is False when
// the file request failed three times, the logger stopped answering, the download was
// cancelled or a run-time error occurred.
DownloadResult GetFile(TransferContext& ctx, const QString& Filenaam);

// True when the transfer's connection is up (the serial port for ConnType 1, the TCP
// connection for the others); else shows "Connection broken!".
bool GetConn(const TransferContext& ctx);

struct HighwayDownloadOutcome {
    bool asked[2] = {false, false};
    DownloadResult files[2];
    // Every file asked for was written.
    bool allSaved() const;
};

// The highway steps of "Start Download": GetFile("HW01.ini") when hw1, then
// GetFile("HW02.ini") when hw2. The caller shows kBackupNoticeText first (before its general
// read-out), as the button does.
HighwayDownloadOutcome DownloadHighwayFiles(TransferContext& ctx, bool hw1, bool hw2);

} // namespace nodalyx
