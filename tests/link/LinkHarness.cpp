#include "LinkHarness.h"

#include <QDir>

namespace nodalyx::test {

TcpHarness::TcpHarness() {
    sim.setGrowing(false);
    sim.listenTcp();
    state.settings.ConnType = 2;
    state.settings.IPnumber = QStringLiteral("127.0.0.1");
    state.settings.Portnumber = QString::number(sim.tcpPort());
    link = std::make_unique<Link>(state, op);
    link->setTimeouts(shortTimeouts());
}

PtyHarness::PtyHarness() {
    sim.setGrowing(false);
    ok = sim.openPty();
    qputenv("NODALYX_COM7", sim.ptyDevice().toLocal8Bit());
    state.settings.ConnType = 1;
    state.settings.Comport = 7.2f; // rounded to the nearest port number
    link = std::make_unique<Link>(state, op);
    link->setTimeouts(shortTimeouts());
}

PtyHarness::~PtyHarness() {
    link.reset();
    qunsetenv("NODALYX_COM7");
}

QByteArray hexBytes(const char* hex) {
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

} // namespace nodalyx::test
