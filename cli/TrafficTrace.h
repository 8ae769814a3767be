#pragma once

namespace nodalyx {
class FileTransferLink;
class Link;
namespace hw {
class HighwayTest;
}
} // namespace nodalyx

namespace nodalyx::cli {

// --trace: the communication log's lines (trafficLine, src/link/TrafficLog.h) on stderr, as
// they are recorded. Each lasts as long as the object it watches.

// Every frame the link sends, the bytes received for it with the wait's verdict, and the
// input it dropped.
void traceToStderr(Link& link);
// Every packet the transfer sends and receives, with its verdict.
void tracePacketsToStderr(FileTransferLink& transfer);
// Every poll of the highway test and its answer, with the verdict.
void traceHighwayTest(hw::HighwayTest& test);

} // namespace nodalyx::cli
