#pragma once

#include "PacedOutput.h"
#include "PseudoTerminal.h"
#include "UnitSimConfig.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

namespace nodalyx::sim {

// A simulated highway of counting units behind a bus converter, on a pseudo-terminal that
// the tool opens as its serial port. Each unit answers its poll after the reply delay, paced
// at 9600 baud; the counters grow now and then; a unit shows the fault it is given. The
// units only hear polls sent at 9600 baud: at any other line speed they stay silent. Runs on
// the thread's event loop, so tests can run it in the same process as the tool.
class UnitHighwaySim : public QObject {
    Q_OBJECT
public:
    static constexpr int kBaud = 9600;

    explicit UnitHighwaySim(QObject* parent = nullptr);
    ~UnitHighwaySim() override;

    void setConfig(const UnitSimConfig& config);
    UnitSimConfig& config() { return m_config; }

    bool openPty(const QString& linkPath = {});
    // The highway goes away as a cable pulled out: the tool's reads on its end fail.
    void closePty();
    QString ptyDevice() const { return m_pty.devicePath(); }
    QString errorString() const { return m_pty.errorString(); }

    // The line speed the tool has set on its end; 0 when unknown.
    int lineSpeed() const;

    // Polls heard, in order: "1:05" for type 1 address 5, "2:A1B2C3D4E5F1" for a code.
    const QStringList& polls() const { return m_polls; }
    void clearLog() { m_polls.clear(); }

signals:
    void polled(const QString& poll);
    void answered(const QByteArray& bytes);

private:
    void hear(const QByteArray& bytes);
    void answer(const hw::UnitPoll& poll);
    SimUnit* unitFor(const hw::UnitPoll& poll);
    QByteArray replyOf(const SimUnit& unit) const;
    void transmit(const QByteArray& bytes);
    void grow();

    UnitSimConfig m_config;
    PseudoTerminal m_pty;
    PacedOutput m_output;
    QTimer m_growTimer;
    QByteArray m_heard;
    QStringList m_polls;
    int m_slave = -1; // our own handle on the tool's end, to read its line settings
};

} // namespace nodalyx::sim
