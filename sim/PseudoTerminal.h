#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace nodalyx::sim {

// A pseudo-terminal whose far end a serial-port client opens like a real port. The simulator
// holds the master side and keeps the slave side open itself, so a client may close and
// reopen the port. An optional symbolic link gives the device a stable name.
class PseudoTerminal : public QObject {
    Q_OBJECT
public:
    explicit PseudoTerminal(QObject* parent = nullptr);
    ~PseudoTerminal() override;

    bool open(const QString& linkPath = {});
    void close();
    bool isOpen() const { return m_master >= 0; }
    QString devicePath() const { return m_device; } // /dev/pts/N
    QString linkPath() const { return m_link; }
    QString errorString() const { return m_error; }

    void write(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);

private:
    void readMaster();
    void flushOutput();

    int m_master = -1;
    int m_slave = -1;
    QString m_device;
    QString m_link;
    QString m_error;
    QByteArray m_pending;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
};

} // namespace nodalyx::sim
