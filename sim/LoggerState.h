#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <array>

namespace nodalyx::sim {

// Everything the simulated logger holds. Day windows and the interval live in its memory,
// where the tool reads them: day d (1 = Sunday .. 7) at 4·d + 6 (start hour, start minute,
// stop hour, stop minute), the interval at 9. The counter blocks of highway 1 start at
// 0x6000, those of highway 2 at 0x6400: 64 blocks of six 16-bit values, high byte first.
struct LoggerState {
    static constexpr int kMemorySize = 0x10000;
    static constexpr int kIntervalAddress = 9;
    static constexpr int kHighway1Counters = 0x6000;
    static constexpr int kHighway2Counters = 0x6400;
    static constexpr int kBlockSize = 12;

    struct Counts {
        quint16 live1 = 0, live2 = 0, in1 = 0, out1 = 0, in2 = 0, out2 = 0;
        bool any() const { return live1 || live2 || in1 || out1 || in2 || out2; }
        friend bool operator==(const Counts&, const Counts&) = default;
    };

    QString serial = QStringLiteral("12345678");
    qint64 clockOffsetSecs = 0; // the logger's clock = PC clock + offset
    bool growing = true;        // counts grow while the simulator runs
    QByteArray memory = QByteArray(kMemorySize, '\0');
    std::array<quint8, 4> ip{192, 168, 1, 10};
    std::array<quint8, 4> subnetmask{255, 255, 255, 0};
    std::array<quint8, 4> gateway{192, 168, 1, 1};
    std::array<quint8, 4> dhcpAddress{192, 168, 1, 77};
    bool dhcp = false;
    quint16 port = 3101;
    std::array<quint8, 6> mac{0x00, 0x1A, 0x0B, 0x0C, 0x0D, 0x0E};
    QString hostname = QStringLiteral("NODALYX-LOGGER");
    QString locationCode, locationName, locationPlace;
    std::array<QString, 4> extensions;
    QString filesFolder; // holds HW01.ini and HW02.ini for the file transfer

    // A logger with counting windows 07:00-22:00, interval 15 and a few counting units.
    static LoggerState withDefaults();

    QDateTime clock() const;
    void setClock(const QDateTime& logger);

    // "hhmmhhmm" of day d (1..7) and back.
    QString dayWindow(int day) const;
    bool setDayWindow(int day, int startH, int startM, int stopH, int stopM);
    int interval() const { return quint8(memory.at(kIntervalAddress)); }
    void setInterval(int minutes) { memory[kIntervalAddress] = char(minutes); }

    Counts counts(int highway, int address) const;
    void setCounts(int highway, int address, const Counts& counts);
    // One step of growing counts: every unit that has counts gets a few more.
    void grow();

    QJsonObject toJson() const;
    // Fields the object lacks keep the values of base. False (with a reason) on a bad value.
    static bool fromJson(const QJsonObject& json, LoggerState& out, QString* error);
    bool save(const QString& path, QString* error) const;
    static bool load(const QString& path, LoggerState& out, QString* error);
};

} // namespace nodalyx::sim
