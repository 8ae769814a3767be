#include "LoggerState.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStringList>

namespace nodalyx::sim {

namespace {
int blockAddress(int highway, int address) {
    const int base = highway == 2 ? LoggerState::kHighway2Counters : LoggerState::kHighway1Counters;
    return base + LoggerState::kBlockSize * address;
}

quint16 readWord(const QByteArray& memory, int at) {
    return quint16(quint8(memory.at(at)) << 8 | quint8(memory.at(at + 1)));
}

void writeWord(QByteArray& memory, int at, quint16 value) {
    memory[at] = char(value >> 8);
    memory[at + 1] = char(value & 0xFF);
}

template <std::size_t N> QString joinBytes(const std::array<quint8, N>& bytes, char sep, int base) {
    QStringList parts;
    for (quint8 b : bytes)
        parts << (base == 16 ? QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper()
                             : QString::number(b));
    return parts.join(QLatin1Char(sep));
}

template <std::size_t N>
bool splitBytes(const QString& text, char sep, int base, std::array<quint8, N>& out) {
    const QStringList parts = text.split(QLatin1Char(sep));
    if (parts.size() != int(N))
        return false;
    std::array<quint8, N> bytes{};
    for (std::size_t i = 0; i < N; ++i) {
        bool ok = false;
        const uint v = parts[int(i)].trimmed().toUInt(&ok, base);
        if (!ok || v > 255)
            return false;
        bytes[i] = quint8(v);
    }
    out = bytes;
    return true;
}

QJsonArray countsToJson(const LoggerState& s, int highway) {
    QJsonArray units;
    for (int a = 0; a < 64; ++a) {
        const LoggerState::Counts c = s.counts(highway, a);
        if (!c.any())
            continue;
        units.append(QJsonObject{{"address", a},
                                 {"live1", c.live1},
                                 {"live2", c.live2},
                                 {"in1", c.in1},
                                 {"out1", c.out1},
                                 {"in2", c.in2},
                                 {"out2", c.out2}});
    }
    return units;
}

bool countsFromJson(const QJsonArray& units, int highway, LoggerState& s, QString* error) {
    for (int a = 0; a < 64; ++a)
        s.setCounts(highway, a, {});
    for (const QJsonValue& v : units) {
        const QJsonObject o = v.toObject();
        const int a = o.value("address").toInt(-1);
        if (a < 0 || a > 63) {
            *error = QStringLiteral("counter address out of 0..63 on highway %1").arg(highway);
            return false;
        }
        auto w = [&o](const char* key) { return quint16(o.value(key).toInt() & 0xFFFF); };
        s.setCounts(highway, a, {w("live1"), w("live2"), w("in1"), w("out1"), w("in2"), w("out2")});
    }
    return true;
}
} // namespace

LoggerState LoggerState::withDefaults() {
    LoggerState s;
    for (int d = 1; d <= 7; ++d)
        s.setDayWindow(d, 7, 0, 22, 0);
    s.setInterval(15);
    s.locationCode = QStringLiteral("SIM01");
    s.locationName = QStringLiteral("Simulator");
    s.locationPlace = QStringLiteral("Bench");
    s.setCounts(1, 0, {.in1 = 1234, .out1 = 1180, .in2 = 12, .out2 = 7});
    s.setCounts(1, 1, {.in1 = 310, .out1 = 295});
    s.setCounts(1, 5, {.live1 = 3, .live2 = 1, .in1 = 77, .out1 = 80, .in2 = 48, .out2 = 51});
    s.setCounts(2, 0, {.in1 = 642, .out1 = 600, .in2 = 5, .out2 = 4});
    s.setCounts(2, 3, {.in1 = 19, .out1 = 21});
    return s;
}

QDateTime LoggerState::clock() const {
    return QDateTime::currentDateTime().addSecs(clockOffsetSecs);
}

void LoggerState::setClock(const QDateTime& logger) {
    clockOffsetSecs = QDateTime::currentDateTime().secsTo(logger);
}

QString LoggerState::dayWindow(int day) const {
    QString text;
    for (int i = 0; i < 4; ++i)
        text +=
            QStringLiteral("%1").arg(quint8(memory.at(4 * day + 6 + i)), 2, 10, QLatin1Char('0'));
    return text;
}

bool LoggerState::setDayWindow(int day, int startH, int startM, int stopH, int stopM) {
    if (day < 1 || day > 7)
        return false;
    const int at = 4 * day + 6;
    memory[at] = char(startH);
    memory[at + 1] = char(startM);
    memory[at + 2] = char(stopH);
    memory[at + 3] = char(stopM);
    return true;
}

LoggerState::Counts LoggerState::counts(int highway, int address) const {
    const int at = blockAddress(highway, address);
    return {readWord(memory, at),      readWord(memory, at + 2), readWord(memory, at + 8),
            readWord(memory, at + 10), readWord(memory, at + 4), readWord(memory, at + 6)};
}

void LoggerState::setCounts(int highway, int address, const Counts& c) {
    const int at = blockAddress(highway, address);
    writeWord(memory, at, c.live1);
    writeWord(memory, at + 2, c.live2);
    writeWord(memory, at + 4, c.in2);
    writeWord(memory, at + 6, c.out2);
    writeWord(memory, at + 8, c.in1);
    writeWord(memory, at + 10, c.out1);
}

void LoggerState::grow() {
    for (int highway = 1; highway <= 2; ++highway) {
        for (int a = 0; a < 64; ++a) {
            Counts c = counts(highway, a);
            if (!c.any())
                continue;
            c.in1 += quint16(1 + a % 3);
            c.out1 += quint16(1 + (a + 1) % 3);
            if (c.in2 || c.out2) {
                c.in2 += 1;
                c.out2 += quint16(a % 2);
            }
            setCounts(highway, a, c);
        }
    }
}

QJsonObject LoggerState::toJson() const {
    QJsonArray days;
    for (int d = 1; d <= 7; ++d)
        days.append(dayWindow(d));
    QJsonArray ext;
    for (const QString& e : extensions)
        ext.append(e);
    return QJsonObject{
        {"serial", serial},
        {"clockOffsetSeconds", double(clockOffsetSecs)},
        {"growingCounts", growing},
        {"days", days},
        {"interval", interval()},
        {"ip", joinBytes(ip, '.', 10)},
        {"subnetmask", joinBytes(subnetmask, '.', 10)},
        {"gateway", joinBytes(gateway, '.', 10)},
        {"dhcpAddress", joinBytes(dhcpAddress, '.', 10)},
        {"dhcp", dhcp},
        {"port", int(port)},
        {"mac", joinBytes(mac, '-', 16)},
        {"hostname", hostname},
        {"locationCode", locationCode},
        {"locationName", locationName},
        {"locationPlace", locationPlace},
        {"extensions", ext},
        {"filesFolder", filesFolder},
        {"counters", QJsonObject{{"1", countsToJson(*this, 1)}, {"2", countsToJson(*this, 2)}}},
    };
}

bool LoggerState::fromJson(const QJsonObject& json, LoggerState& out, QString* error) {
    LoggerState s = out;
    QString why;
    auto text = [&json](const char* key, QString& field) {
        if (json.contains(key))
            field = json.value(key).toString();
    };
    auto octets = [&](const char* key, auto& field, char sep, int base) {
        if (json.contains(key) && !splitBytes(json.value(key).toString(), sep, base, field))
            why = QStringLiteral("bad value for \"%1\"").arg(key);
    };
    text("serial", s.serial);
    text("hostname", s.hostname);
    text("locationCode", s.locationCode);
    text("locationName", s.locationName);
    text("locationPlace", s.locationPlace);
    text("filesFolder", s.filesFolder);
    if (json.contains("clockOffsetSeconds"))
        s.clockOffsetSecs = qint64(json.value("clockOffsetSeconds").toDouble());
    if (json.contains("growingCounts"))
        s.growing = json.value("growingCounts").toBool();
    if (json.contains("dhcp"))
        s.dhcp = json.value("dhcp").toBool();
    if (json.contains("port"))
        s.port = quint16(json.value("port").toInt());
    if (json.contains("interval"))
        s.setInterval(json.value("interval").toInt());
    octets("ip", s.ip, '.', 10);
    octets("subnetmask", s.subnetmask, '.', 10);
    octets("gateway", s.gateway, '.', 10);
    octets("dhcpAddress", s.dhcpAddress, '.', 10);
    octets("mac", s.mac, '-', 16);
    const QJsonArray days = json.value("days").toArray();
    for (int d = 1; d <= 7 && d <= days.size(); ++d) {
        const QString w = days.at(d - 1).toString();
        if (w.size() != 8) {
            why = QStringLiteral("day window %1 is not hhmmhhmm").arg(d);
            break;
        }
        s.setDayWindow(d, w.mid(0, 2).toInt(), w.mid(2, 2).toInt(), w.mid(4, 2).toInt(),
                       w.mid(6, 2).toInt());
    }
    const QJsonArray ext = json.value("extensions").toArray();
    for (int k = 0; k < 4 && k < ext.size(); ++k)
        s.extensions[k] = ext.at(k).toString();
    const QJsonObject counters = json.value("counters").toObject();
    for (int highway = 1; highway <= 2 && why.isEmpty(); ++highway) {
        const QString key = QString::number(highway);
        if (counters.contains(key))
            countsFromJson(counters.value(key).toArray(), highway, s, &why);
    }
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    out = s;
    return true;
}

bool LoggerState::save(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(toJson()).toJson()) < 0 ||
        !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool LoggerState::load(const QString& path, LoggerState& out, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        if (error)
            *error = parseError.errorString();
        return false;
    }
    return fromJson(doc.object(), out, error);
}

} // namespace nodalyx::sim
