#include "PortMap.h"

#include "KeyValue.h"
#include "TextFile.h"
#include "TextMatch.h"
#include "Windows1252.h"

#include <QDir>
#include <QFileInfo>

namespace nodalyx {

namespace {

const QString kHeader = QStringLiteral(
    "; Serial ports of the location files (Comport) tied to adapters, so that an adapter is\r\n"
    "; found again under another name. Written by the program: choose the port in the\r\n"
    "; configuration window, or nodalyx-cli ports map N DEVICE / ports unmap N.\r\n");

QString pathIn(const QString& programDir, const QString& name) {
    return QDir(programDir).filePath(name);
}

// "[COM12]" -> 12; 0 for anything else.
int sectionNumber(const QString& line) {
    const std::optional<int> number =
        numberBetween(line, QLatin1String("[COM"), QLatin1String("]"), Qt::CaseInsensitive, 3);
    return number && *number >= 1 && *number <= 255 ? *number : 0;
}

void store(PortMapEntry& entry, const KeyValue& kv) {
    const QString key = kv.key.toLower();
    if (key == QLatin1String("identity"))
        entry.identity = kv.value;
    else if (key == QLatin1String("device"))
        entry.device = kv.value;
    else if (key == QLatin1String("description"))
        entry.description = kv.value;
    else if (key == QLatin1String("serialnumber"))
        entry.serialNumber = kv.value;
}

} // namespace

QByteArray encodePortMap(const PortMap& map) {
    QString text = kHeader;
    for (const auto& [number, e] : map.entries) {
        text += QStringLiteral("\r\n[COM%1]\r\nIdentity=%2\r\nDevice=%3\r\nDescription=%4\r\n"
                               "SerialNumber=%5\r\n")
                    .arg(number)
                    .arg(e.identity, e.device, e.description, e.serialNumber);
    }
    return encodeWindows1252(text);
}

PortMapRead decodePortMap(const QByteArray& bytes) {
    PortMapRead read;
    std::optional<int> number; // the section being read; nullopt before the first
    int sectionLine = 0;
    auto finish = [&] {
        if (number && *number > 0) {
            const PortMapEntry& e = read.map.entries[*number];
            if (e.identity.trimmed().isEmpty()) {
                read.map.entries.erase(*number);
                read.skipped << QStringLiteral("line %1: COM%2 has no Identity")
                                    .arg(sectionLine)
                                    .arg(*number);
            }
        }
    };
    const QStringList lines = splitLines(decodeWindows1252(bytes));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            finish();
            number = sectionNumber(line);
            sectionLine = i + 1;
            if (*number == 0)
                read.skipped << QStringLiteral("line %1: %2 is not a port from [COM1] to [COM255]")
                                    .arg(i + 1)
                                    .arg(line);
            else
                read.map.entries[*number] = {};
            continue;
        }
        const KeyValue kv = splitKeyValue(line);
        if (!number || !kv.error.isEmpty()) {
            read.skipped << QStringLiteral("line %1: not a setting of a port").arg(i + 1);
            continue;
        }
        if (*number > 0)
            store(read.map.entries[*number], kv);
    }
    finish();
    return read;
}

QString loadPortMap(const QString& programDir, PortMap& map) {
    map = {};
    const QString path = pathIn(programDir, kPortMapFileName);
    if (!QFileInfo::exists(path))
        return {};
    QByteArray bytes;
    if (QString error = readTextFile(path, bytes); !error.isEmpty())
        return error;
    map = decodePortMap(bytes).map;
    return {};
}

QString savePortMap(const QString& programDir, const PortMap& map) {
    const QString path = pathIn(programDir, kPortMapFileName);
    keepBackup(path, pathIn(programDir, QStringLiteral("ports.bak")));
    return saveTextFile(path, encodePortMap(map));
}

} // namespace nodalyx
