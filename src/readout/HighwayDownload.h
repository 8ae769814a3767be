#pragma once

#include "Cancellation.h"
#include "TransferContext.h"

#include <QString>
#include <functional>

namespace nodalyx {

// The texts of the download.
inline constexpr const char* kBackupNoticeText = "Old configurations files will be copied to .BAK";
inline constexpr const char* kConnectionBrokenText = "Connection broken!";

struct DownloadResult {
    bool result = true;       // GetFile's own answer (see GetFile)
    bool saved = false;       // the local file was replaced by the logger's
    bool cancelled = false;   // the operator cancelled; nothing was written
    bool unreachable = false; // the transfer could not connect; nothing was sent
    bool backupKept = false;  // saved, and the previous file is now the .bak
    int units = 0;            // saved: the units the new file holds
};

// What became of a downloaded file, for the operator: "HW01.ini downloaded: 64 units; the
// previous file is kept as HW01.bak", "HW01.ini downloaded: 64 units" (there was none before),
// "HW01.ini: cancelled, nothing written", or "HW01.ini: not downloaded".
QString downloadResultText(const QString& file, const DownloadResult& result);

// Downloads one highway file ("HW01.ini" or "HW02.ini") of the logger into the location's
// folder: closes the tool's link, opens the transfer on the location's port (it takes the
// link's device), asks for the file (three tries) and its blocks (a bad block is asked again
// up to five times in a row, with a beep each), and writes it through saveDownloadedFile
// once the whole text is in. The transfer is closed again on every path. result is False when
// the transfer could not connect (told once as "Connection with Data logger failed: where: why"),
// the file request failed three times or could not be sent, the logger stopped answering, the
// download was cancelled or a run-time error occurred. Every download that writes nothing says
// why through ctx.op, and a hostile logger is bounded: the announced size must make a file the
// tool reads back (at most kMaxTextFileSize bytes once every LF is CR LF), the block count must
// be one the size can fill (every block carries at least one character), an empty block before
// the announced size has come ends the download at once, and blocks are no longer asked for
// once the announced size has come. The download is cancelled by the transfer's own
// requestCancel() (which also ends a running wait) or by cancel, looked at between packets;
// a cancelled download writes nothing.
DownloadResult GetFile(TransferContext& ctx, const QString& Filenaam,
                       const Cancellation* cancel = nullptr);

// True when the transfer's connection is up (the serial port for ConnType 1, the TCP
// connection for the others); else shows "Connection broken!".
bool GetConn(const TransferContext& ctx);

struct HighwayDownloadOutcome {
    bool asked[2] = {false, false};
    bool tried[2] = {false, false}; // GetFile ran for it
    DownloadResult files[2];
    // Every file asked for was written.
    bool allSaved() const;
    bool cancelled() const;
    // The transfer could not connect (told once); the files after it were not tried.
    bool unreachable() const;
};

// Called after each file GetFile has run for.
using FileDone = std::function<void(const QString& file, const DownloadResult& result)>;

// The highway steps of "Start Download": GetFile("HW01.ini") when hw1, then
// GetFile("HW02.ini") when hw2. A file that could not connect or was cancelled ends the run:
// the next one is not tried. The caller shows kBackupNoticeText first (before its general
// read-out), as the button does.
HighwayDownloadOutcome DownloadHighwayFiles(TransferContext& ctx, bool hw1, bool hw2,
                                            const Cancellation* cancel = nullptr,
                                            const FileDone& done = {});

} // namespace nodalyx
