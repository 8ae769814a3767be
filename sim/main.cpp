// nodalyx-loggersim: a stand-in for the counting datalogger, over TCP or a pseudo-terminal.
#include "LoggerFleet.h"
#include "LoggerSim.h"
#include "SignalPipe.h"
#include "SimOptions.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace nodalyx::sim;
using nodalyx::SignalPipe;

namespace {
QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Every request, packet and reply on stderr; `label` in front of each line (a logger of many).
void logTraffic(LoggerSim& sim, const QString& label = {}) {
    auto stamp = [label] {
        return label + QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    };
    QObject::connect(&sim, &LoggerSim::request, [stamp](const QByteArray& frame) {
        QTextStream(stderr) << stamp() << " <- " << hex(frame) << Qt::endl;
    });
    QObject::connect(&sim, &LoggerSim::replied, [stamp](const QByteArray& bytes) {
        QTextStream(stderr) << stamp() << " -> " << hex(bytes) << Qt::endl;
    });
    QObject::connect(&sim, &LoggerSim::packetRequest, [stamp](const SimPacket& p) {
        QTextStream(stderr) << stamp() << " <- packet code " << p.code << " number " << p.number
                            << " L1 " << p.text1.size() << " L2 " << p.text2.size() << Qt::endl;
    });
    QObject::connect(&sim, &LoggerSim::fileStored, [stamp](const QString& name) {
        QTextStream(stderr) << stamp() << " stored " << name << Qt::endl;
    });
    QObject::connect(&sim, &LoggerSim::clientChanged, [stamp](bool connected) {
        QTextStream(stderr) << stamp() << (connected ? " client connected" : " client gone")
                            << Qt::endl;
    });
}

bool loadState(const SimOptions& o, LoggerSim& sim) {
    if (o.stateFile.isEmpty() || !QFileInfo::exists(o.stateFile))
        return true;
    QString error;
    if (!LoggerState::load(o.stateFile, sim.state(), &error)) {
        QTextStream(stderr) << "nodalyx-loggersim: " << o.stateFile << ": " << error << Qt::endl;
        return false;
    }
    return true;
}

void saveState(const SimOptions& o, LoggerSim& sim) {
    QString error;
    if (!o.stateFile.isEmpty() && !sim.state().save(o.stateFile, &error))
        QTextStream(stderr) << "nodalyx-loggersim: cannot save " << o.stateFile << ": " << error
                            << Qt::endl;
}
// --loggers: the loggers of a survey's test ground, one line each once all listen.
int runFleet(QCoreApplication& app, const SimOptions& o, const LoggerState& state) {
    LoggerFleet::Plan plan;
    plan.count = *o.loggers;
    plan.silentCount = o.silentLoggers;
    plan.state = state;
    plan.faults = o.faults;
    plan.blockSize = o.blockSize;
    LoggerFleet fleet(plan);
    if (!fleet.listen(o.host, o.port)) {
        QTextStream(stderr) << "nodalyx-loggersim: TCP: " << fleet.errorString() << Qt::endl;
        return 1;
    }
    QTextStream out(stdout);
    for (const QString& line : fleet.readyLines(o.host))
        out << line << '\n';
    out.flush();
    if (o.verbose) {
        for (int i = 0; i < fleet.size(); ++i)
            logTraffic(fleet.logger(i), QStringLiteral("%1 ").arg(fleet.logger(i).tcpPort()));
    }
    return app.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QString error;
    bool help = false;
    bool version = false;
    const auto options = parseSimOptions(app.arguments().mid(1), &error, &help, &version);
    if (help) {
        QTextStream(stdout) << simUsage();
        return 0;
    }
    if (version) {
        QTextStream(stdout) << "nodalyx-loggersim " << NODALYX_VERSION_STRING << '\n';
        return 0;
    }
    if (!options) {
        QTextStream(stderr) << "nodalyx-loggersim: " << error
                            << "\nTry 'nodalyx-loggersim --help'.\n";
        return 2;
    }
    const SimOptions& o = *options;
    // SIGINT and SIGTERM end the event loop, so the state is saved on the way out; watched
    // before the ready lines, so a client may stop it right after them.
    SignalPipe stop(SignalPipe::Watch::InterruptAndTerminate);
    QObject::connect(&stop, &SignalPipe::received, &app, &QCoreApplication::quit);
    LoggerSim sim;
    if (!loadState(o, sim))
        return 1;
    if (!o.serial.isEmpty())
        sim.state().serial = o.serial.left(10);
    if (!o.filesFolder.isEmpty()) {
        // Made when missing, so that the first upload to a fresh simulator is stored.
        if (!QDir().mkpath(o.filesFolder)) {
            QTextStream(stderr) << "nodalyx-loggersim: cannot create the files folder "
                                << o.filesFolder << Qt::endl;
            return 1;
        }
        sim.state().filesFolder = o.filesFolder;
    }
    if (o.blockSize > 0)
        sim.fileResponder().setBlockSize(o.blockSize);
    sim.setGrowing(o.growing.value_or(sim.state().growing));
    sim.setFaults(o.faults);
    if (o.loggers)
        return runFleet(app, o, sim.state());
    QTextStream out(stdout);
    if (o.tcp) {
        if (!sim.listenTcp(o.host, o.port)) {
            QTextStream(stderr) << "nodalyx-loggersim: TCP: " << sim.errorString() << Qt::endl;
            return 1;
        }
        out << "tcp " << o.host.toString() << ':' << sim.tcpPort() << Qt::endl;
    }
    if (!o.ptyLink.isEmpty()) {
        if (!sim.openPty(o.ptyLink)) {
            QTextStream(stderr) << "nodalyx-loggersim: " << sim.errorString() << Qt::endl;
            return 1;
        }
        out << "pty " << o.ptyLink << " -> " << sim.ptyDevice() << Qt::endl;
    }
    out << "serial " << sim.state().serial << Qt::endl;
    if (o.verbose)
        logTraffic(sim);
    QObject::connect(&sim, &LoggerSim::stateChanged, [&] { saveState(o, sim); });
    const int rc = app.exec();
    saveState(o, sim);
    return rc;
}
