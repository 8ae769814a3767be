// nodalyx-bench-transfer: measures the highway-file transfers against the simulated logger in
// this process, with a full default highway file (2 178 lines):
//  (a) over TCP loopback: a download and an upload, milliseconds per file (target < 100 ms);
//  (b) over a pseudo-terminal, the simulator pacing its output at 19200 baud: elapsed time of
//      a download and an upload divided by the wire time of every byte both ways (target <=
//      1.10).
#include "BenchSupport.h"
#include "HighwayDownload.h"
#include "HighwayFileCodec.h"
#include "HighwayUpload.h"
#include "LoggerSim.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using namespace nodalyx;
using nodalyx::bench::QuietOperator;

namespace {

// A location "Bench" with the default highway file, and the logger's files folder.
struct Bench {
    QTemporaryDir program, files;
    SharedState state;
    QuietOperator op;
    sim::LoggerSim logger;
    QByteArray file = encodeHighwayFile(1, UnitTable{});

    Bench() {
        logger.setGrowing(false);
        logger.state().filesFolder = files.path();
        state.programDir = program.path();
        QDir().mkpath(program.filePath("Bench"));
        write(program.filePath("Bench/HW01.ini"), file);
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    // One upload, then one download of the file back; true when both went through whole.
    bool roundTrip(Link& link, FileTransferLink& transfer) {
        TransferContext ctx{
            state, link, transfer, op, QStringLiteral("Bench"), [](const TransferProgress&) {}};
        HighwayUpload upload(ctx);
        const bool up = upload.UploadHW(QStringLiteral("HW01.ini"));
        const bool down = GetFile(ctx, QStringLiteral("HW01.ini")).saved;
        QFile f(program.filePath("Bench/HW01.ini"));
        return up && down && f.open(QIODevice::ReadOnly) && f.readAll() == file;
    }
};

void benchTcp(QTextStream& out) {
    Bench b;
    b.logger.listenTcp();
    b.state.settings.ConnType = 2;
    b.state.settings.IPnumber = QStringLiteral("127.0.0.1");
    b.state.settings.Portnumber = QString::number(b.logger.tcpPort());
    Link link(b.state.settings);
    FileTransferLink transfer(&link);
    const int rounds = 20;
    int whole = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        whole += b.roundTrip(link, transfer) ? 1 : 0;
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    out << "(a) TCP loopback: " << rounds << " uploads and downloads of " << b.file.size()
        << " bytes (" << whole << " round trips byte for byte), "
        << QString::number(ms / (2 * rounds), 'f', 2) << " ms per file (target < 100 ms)"
        << Qt::endl;
}

void benchPty(QTextStream& out) {
    Bench b;
    if (!bench::pacedPty(b.logger, b.state, out, "(b)"))
        return;
    Link link(b.state.settings);
    FileTransferLink transfer(&link);
    QElapsedTimer timer;
    timer.start();
    const bool whole = b.roundTrip(link, transfer);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    out << "(b) pseudo-terminal at 19200 baud: an upload and a download ("
        << (whole ? "byte for byte" : "NOT whole") << "), ";
    bench::printWireRatio(out, b.logger, seconds);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    benchTcp(out);
    benchPty(out);
    return 0;
}
