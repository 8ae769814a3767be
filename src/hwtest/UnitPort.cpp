#include "UnitPort.h"

#include "SerialPortName.h"

namespace nodalyx::hw {

UnitPort::UnitPort(QObject* parent) : QObject(parent) {
    connect(&m_port, &QSerialPort::readyRead, this, &UnitPort::readPort);
    connect(&m_port, &QSerialPort::errorOccurred, this, &UnitPort::onError);
}

UnitPort::~UnitPort() {
    m_port.disconnect(this);
}

bool UnitPort::open(const QString& device, QString* error) {
    close();
    m_lost.clear();
    m_port.setPortName(device);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        *error = serialOpenFailureText(device, m_port.error(), m_port.errorString());
        m_port.clearError();
        return false;
    }
    setLines(false, true);
    return true;
}

void UnitPort::close() {
    if (m_port.isOpen()) {
        m_settingLines = true;
        m_port.setDataTerminalReady(false);
        m_port.clearError();
        m_settingLines = false;
        m_port.close();
    }
    m_waiting.clear();
}

void UnitPort::setLines(bool rts, bool dtr) {
    // A port without modem lines refuses; the test goes on without them.
    m_settingLines = true;
    m_port.setRequestToSend(rts);
    m_port.setDataTerminalReady(dtr);
    m_port.clearError();
    m_settingLines = false;
}

void UnitPort::send(const QByteArray& frame, int turnaroundMs) {
    if (!m_port.isOpen())
        return;
    setLines(false, true);
    m_port.clear(QSerialPort::Output);
    m_port.write(frame);
    m_port.flush();
    emit traffic(true, frame);
    pause(turnaroundMs);
    if (m_port.isOpen())
        setLines(true, true);
}

QByteArray UnitPort::takeWaiting() {
    return std::exchange(m_waiting, {});
}

void UnitPort::discardInput() {
    qint64 count = m_waiting.size();
    m_waiting.clear();
    if (m_port.isOpen()) {
        count += m_port.readAll().size();
        m_port.clear(QSerialPort::Input);
    }
    if (count > 0)
        emit dropped(count);
}

void UnitPort::readPort() {
    const QByteArray bytes = m_port.readAll();
    if (bytes.isEmpty())
        return;
    m_waiting.append(bytes);
    emit traffic(false, bytes);
    m_wait.wake();
}

void UnitPort::onError(QSerialPort::SerialPortError error) {
    if (m_settingLines || (error != QSerialPort::ReadError && error != QSerialPort::ResourceError))
        return;
    // A device that went away keeps failing every read: close it; the test ends behind the
    // poll in progress, as it does when the port cannot be opened.
    m_port.clearError();
    if (m_port.isOpen())
        m_port.close();
    m_lost = error == QSerialPort::ResourceError
                 ? QStringLiteral("Serial port %1: the device is no longer available; "
                                  "the port was closed.")
                       .arg(m_port.portName())
                 : QStringLiteral("Serial port %1: reading failed; the port was closed.")
                       .arg(m_port.portName());
    m_wait.wake();
}

bool UnitPort::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (m_abandoned)
        return done();
    switch (m_wait.waitFor(done, timeoutMs)) {
    case WaitResult::Met:
        return true;
    case WaitResult::Destroyed:
        return false;
    case WaitResult::Ending:
        m_abandoned = true; // the program is ending: loops no longer wait
        return done();
    case WaitResult::Refused: // a wait inside the wait: no second loop, just the condition
        return done();
    default:
        return false;
    }
}

void UnitPort::pause(int ms) {
    waitUntil([] { return false; }, ms);
}

} // namespace nodalyx::hw
