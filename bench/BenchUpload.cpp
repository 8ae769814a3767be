// nodalyx-bench-upload: the general-settings part of the upload sequence (the serial-number
// check and every item, each waiting for the logger's acknowledgement) over a pseudo-terminal,
// the simulated logger pacing its output at 19200 baud: elapsed time divided by the wire time
// of every byte both ways (target <= 1.10), with and without the read-back of --verify.
#include "BenchSupport.h"
#include "UploadSequence.h"

#include <QCoreApplication>
#include <QElapsedTimer>

using namespace nodalyx;

namespace {

void fillLocation(GeneralSettings& s) {
    s.LocationCode = QStringLiteral("123");
    s.LocationName = QStringLiteral("Harbour");
    s.LocationPlace = QStringLiteral("Quay 4");
    s.eExt = {QStringLiteral("A1"), QStringLiteral("B2"), QStringLiteral("C3"),
              QStringLiteral("D4")};
    s.Days.fill(QStringLiteral("07002200"));
    s.Interval = QStringLiteral("15");
    s.eIPaddress = s.eGateway = {"10", "0", "0", "1"};
    s.eSubnetmask = {"255", "255", "0", "0"};
    s.ePortnumber = QStringLiteral("3101");
}

void benchGeneralUpload(QTextStream& out, bool verify) {
    sim::LoggerSim logger;
    logger.setGrowing(false);
    SharedState state;
    const char* label = verify ? "(b)" : "(a)";
    if (!bench::pacedPty(logger, state, out, label))
        return;
    fillLocation(state.settings);
    state.settings.eSerialnumber = logger.state().serial;
    bench::QuietOperator op;
    Link link(state.settings);
    QStringList lines;
    QElapsedTimer timer;
    timer.start();
    const UploadOutcome outcome =
        UploadConfiguration(state, link, op, {true, false, false, verify}, {},
                            [&lines](const QString& line) { lines << line; });
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!outcome.ok)
        QTextStream(stderr) << lines.join(QLatin1Char('\n')) << Qt::endl;
    out << label << " general settings" << (verify ? " with read-back" : "") << ": " << lines.size()
        << " report lines, \"" << outcome.finalMessage << "\", ";
    bench::printWireRatio(out, logger, seconds);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    benchGeneralUpload(out, false);
    benchGeneralUpload(out, true);
    return 0;
}
