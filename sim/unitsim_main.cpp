// nodalyx-unitsim: a highway of counting units for the highway test, on a pseudo-terminal.
#include "SignalPipe.h"
#include "UnitHighwaySim.h"
#include "UnitSimOptions.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

using namespace nodalyx::sim;
using nodalyx::SignalPipe;

namespace {
QString stamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"));
}

void logTraffic(UnitHighwaySim& sim) {
    QObject::connect(&sim, &UnitHighwaySim::polled, [](const QString& poll) {
        QTextStream(stderr) << stamp() << " <- poll " << poll << Qt::endl;
    });
    QObject::connect(&sim, &UnitHighwaySim::answered, [](const QByteArray& bytes) {
        QTextStream(stderr) << stamp() << " -> " << bytes.toHex(' ').toUpper() << Qt::endl;
    });
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QString error;
    bool help = false;
    const auto options = parseUnitSimOptions(app.arguments().mid(1), &error, &help);
    if (help) {
        QTextStream(stdout) << unitSimUsage();
        return 0;
    }
    if (!options) {
        QTextStream(stderr) << "nodalyx-unitsim: " << error << "\nTry 'nodalyx-unitsim --help'.\n";
        return 2;
    }
    // SIGINT and SIGTERM end the event loop, so the pseudo-terminal's link is removed.
    SignalPipe stop(SignalPipe::Watch::InterruptAndTerminate);
    QObject::connect(&stop, &SignalPipe::received, &app, &QCoreApplication::quit);
    UnitHighwaySim sim;
    sim.setConfig(options->config);
    if (!sim.openPty(options->ptyLink)) {
        QTextStream(stderr) << "nodalyx-unitsim: " << sim.errorString() << Qt::endl;
        return 1;
    }
    QTextStream out(stdout);
    out << "pty " << options->ptyLink << " -> " << sim.ptyDevice() << Qt::endl;
    for (const SimUnit& u : options->config.units)
        out << "unit " << u.address << " type " << u.type
            << (u.type == 2 ? QStringLiteral(" code ") + u.codeText : QString())
            << (u.fault != UnitFault::None ? QStringLiteral(" fault ") + unitFaultName(u.fault)
                                           : QString())
            << Qt::endl;
    if (options->verbose)
        logTraffic(sim);
    return app.exec();
}
