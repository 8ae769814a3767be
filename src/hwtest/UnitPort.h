#pragma once

#include "WaitLoop.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <functional>

namespace nodalyx::hw {

// The serial port of the highway test: 9600 8N1, no handshaking, DTR on while open. The bus
// converter behind it transmits while RTS is off and listens while it is on, so RTS is off
// while a poll goes out and on while the answer is expected. A port without those lines (a
// pseudo-terminal) works all the same: failures to set them are ignored.
//
// What arrives is kept here until taken or discarded; waiting() is what "bytes waiting at the
// port" means to the test.
class UnitPort : public QObject {
    Q_OBJECT
public:
    explicit UnitPort(QObject* parent = nullptr);
    ~UnitPort() override;

    // False with *error set to the operator's text when the device cannot be opened.
    bool open(const QString& device, QString* error);
    // DTR off, then closed.
    void close();
    bool isOpen() const { return m_port.isOpen(); }
    QString device() const { return m_port.portName(); }

    // RTS off, the output buffer cleared, the frame written, a pause of turnaroundMs, RTS on.
    // Nothing happens when the port is not open.
    void send(const QByteArray& frame, int turnaroundMs);

    qsizetype waiting() const { return m_waiting.size(); }
    QByteArray takeWaiting();
    // Drops everything waiting, here and in the driver.
    void discardInput();

    // Lets events run (WaitLoop) until done() holds (checked on every arrival, on a lost device
    // and at the deadline) or timeoutMs have passed; answers done(). Returns at once when the
    // program is ending; false, touching nothing, when the port was destroyed meanwhile.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);
    void pause(int ms);
    // The program is ending: event loops no longer run.
    bool abandoned() const { return m_abandoned; }

    // Why the open port went away (device removed, read failure); empty while it works.
    QString lostText() const { return m_lost; }

signals:
    // Every poll sent (sent = true) and every piece received (sent = false).
    void traffic(bool sent, const QByteArray& bytes);
    void dropped(qint64 count);

private:
    void readPort();
    void onError(QSerialPort::SerialPortError error);
    void setLines(bool rts, bool dtr);

    WaitLoop m_wait;
    QSerialPort m_port;
    QByteArray m_waiting;
    QString m_lost;
    bool m_settingLines = false;
    bool m_abandoned = false;
};

} // namespace nodalyx::hw
