#include "SerialPorts.h"
#include "TextMatch.h"

#include <QFileInfo>
#include <QProcessEnvironment>
#include <mutex>

namespace nodalyx {

namespace {

std::mutex g_mutex;
QString g_programDir;                       // guarded by g_mutex
std::shared_ptr<const PortSource> g_source; // guarded by g_mutex
QHash<QString, PortResolution> g_missing;   // device -> the missing adapter it stood for

QString overrideOf(int number) {
    return qEnvironmentVariable(qPrintable(QStringLiteral("NODALYX_COM%1").arg(number)));
}

// The numbers NODALYX_COM<n> is set for.
QList<int> overriddenNumbers() {
    QList<int> numbers;
    for (const QString& key : QProcessEnvironment::systemEnvironment().keys()) {
        const std::optional<int> n =
            numberBetween(key, QLatin1String("NODALYX_COM"), {}, Qt::CaseSensitive, 3);
        if (n && *n >= 1 && *n <= 255 && !qEnvironmentVariable(qPrintable(key)).isEmpty())
            numbers << *n;
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// A path compared by what it points at.
QString canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c;
}

bool sameDevice(const PortInfo& port, const QString& device) {
    return port.device == device || port.stableId == device ||
           canonical(port.device) == canonical(device);
}

// The device an entry's adapter has now; empty when it is not plugged in.
QString deviceOf(const PortMapEntry& entry, const QList<PortInfo>& ports) {
    const QString& id = entry.identity;
    if (id.startsWith(QLatin1String("usb:"))) {
        const QStringList parts = id.split(QLatin1Char(':'));
        for (const PortInfo& p : ports) {
            if (parts.size() >= 4 && p.vendorId && p.productId &&
                parts[1].toUShort(nullptr, 16) == *p.vendorId &&
                parts[2].toUShort(nullptr, 16) == *p.productId &&
                p.serialNumber == parts.mid(3).join(QLatin1Char(':')))
                return p.device;
        }
        return {};
    }
    if (!QFileInfo::exists(id))
        return {};
    for (const PortInfo& p : ports) {
        if (sameDevice(p, id))
            return p.device;
    }
    return canonical(id); // a device discovery does not list (a pseudo-terminal)
}

QString adapterText(const PortMapEntry& e) {
    QString text = e.description.isEmpty() ? e.identity : e.description;
    if (!e.serialNumber.isEmpty())
        text += QStringLiteral(" (%1)").arg(e.serialNumber);
    return text;
}

} // namespace

QString ListedPort::label() const {
    QString text = number ? QStringLiteral("%1 - %2").arg(*number).arg(info.device) : info.device;
    if (!info.description.isEmpty())
        text += QStringLiteral(" - ") + info.description;
    if (!info.serialNumber.isEmpty())
        text += QStringLiteral(" (%1)").arg(info.serialNumber);
    return text;
}

void SerialPorts::setProgramDir(const QString& dir) {
    std::lock_guard lock(g_mutex);
    g_programDir = dir;
}

QString SerialPorts::programDir() {
    std::lock_guard lock(g_mutex);
    return g_programDir;
}

void SerialPorts::setSource(std::shared_ptr<const PortSource> source) {
    std::lock_guard lock(g_mutex);
    g_source = std::move(source);
}

std::shared_ptr<const PortSource> SerialPorts::source() {
    std::lock_guard lock(g_mutex);
    if (!g_source)
        g_source = std::make_shared<SystemPortSource>();
    return g_source;
}

std::optional<int> SerialPorts::defaultNumberOf(const QString& device) {
    if (const auto com = numberBetween(device, QLatin1String("COM"), {}, Qt::CaseInsensitive, 3))
        return com;
    const auto ttyS = numberBetween(device, QLatin1String("/dev/ttyS"), {}, Qt::CaseSensitive, 3);
    if (ttyS && *ttyS < 255)
        return *ttyS + 1;
    return std::nullopt;
}

bool SerialPorts::hasComNumbers() {
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

PortResolution SerialPorts::resolve(int number) {
    PortResolution r;
    r.number = number;
    if (hasComNumbers()) {
        r.source = PortResolution::Source::Windows;
        r.device = QStringLiteral("COM%1").arg(number);
        return r;
    }
    if (const QString device = overrideOf(number); !device.isEmpty()) {
        r.source = PortResolution::Source::Override;
        r.device = device;
        return r;
    }
    PortMap map;
    const QString dir = programDir();
    if (!dir.isEmpty() && loadPortMap(dir, map).isEmpty() && map.entries.count(number)) {
        const PortMapEntry& entry = map.entries.at(number);
        r.source = PortResolution::Source::Map;
        r.mapped = entry;
        r.device = deviceOf(entry, source()->ports(false));
        r.adapterMissing = r.device.isEmpty();
        if (r.adapterMissing)
            r.device = entry.device.isEmpty() ? entry.identity : entry.device;
        std::lock_guard lock(g_mutex);
        if (r.adapterMissing)
            g_missing.insert(r.device, r);
        else
            g_missing.remove(r.device);
        return r;
    }
    r.device = QStringLiteral("/dev/ttyS%1").arg(number - 1);
    return r;
}

QList<ListedPort> SerialPorts::list(bool tryOpening) {
    QList<ListedPort> listed;
    for (const PortInfo& port : source()->ports(tryOpening)) {
        ListedPort l;
        l.info = port;
        l.number = defaultNumberOf(port.device);
        listed << l;
    }
    // The numbers the map and the overrides give, to the ports they resolve to.
    PortMap map;
    if (!hasComNumbers() && !programDir().isEmpty())
        loadPortMap(programDir(), map);
    QList<int> numbers = overriddenNumbers();
    for (const auto& [number, entry] : map.entries)
        if (!numbers.contains(number))
            numbers << number;
    std::sort(numbers.begin(), numbers.end());
    for (int number : hasComNumbers() ? QList<int>() : numbers) {
        const PortResolution r = resolve(number);
        auto it = std::find_if(listed.begin(), listed.end(),
                               [&](const ListedPort& l) { return sameDevice(l.info, r.device); });
        if (it == listed.end()) {
            ListedPort l;
            l.info.device = r.device;
            if (r.mapped) {
                l.info.description = r.mapped->description;
                l.info.serialNumber = r.mapped->serialNumber;
            }
            l.present = QFileInfo::exists(r.device);
            l.info.available = l.present;
            if (!l.present)
                l.info.unavailableWhy = QStringLiteral("not plugged in");
            it = listed.insert(listed.end(), l);
        }
        it->number = number;
        it->mapped = true;
    }
    return listed;
}

QString SerialPorts::identityOf(const PortInfo& port) {
    if (!port.stableId.isEmpty())
        return port.stableId;
    if (!port.serialNumber.isEmpty() && port.vendorId && port.productId)
        return QStringLiteral("usb:%1:%2:%3")
            .arg(*port.vendorId, 4, 16, QLatin1Char('0'))
            .arg(*port.productId, 4, 16, QLatin1Char('0'))
            .arg(port.serialNumber);
    return port.device;
}

QString SerialPorts::map(int number, const QString& device) {
    if (hasComNumbers())
        return QStringLiteral("On this system serial port %1 is COM%1 itself; there is no map.")
            .arg(number);
    if (number < 1 || number > 255)
        return QStringLiteral("The port number %1 is not from 1 to 255.").arg(number);
    PortInfo port;
    const QList<PortInfo> ports = source()->ports(false);
    const auto it = std::find_if(ports.begin(), ports.end(),
                                 [&](const PortInfo& p) { return sameDevice(p, device); });
    if (it != ports.end()) {
        port = *it;
    } else if (QFileInfo::exists(device)) {
        port.device = QFileInfo(device).absoluteFilePath(); // a pseudo-terminal, say
    } else {
        return QStringLiteral("There is no serial port %1; \"nodalyx-cli ports\" lists them.")
            .arg(device);
    }
    const QString dir = programDir();
    PortMap map;
    if (QString error = loadPortMap(dir, map); !error.isEmpty())
        return error;
    map.entries[number] = {identityOf(port), port.device, port.description, port.serialNumber};
    return savePortMap(dir, map);
}

QString SerialPorts::unmap(int number) {
    const QString dir = programDir();
    PortMap map;
    if (QString error = loadPortMap(dir, map); !error.isEmpty())
        return error;
    if (!map.entries.erase(number))
        return QStringLiteral("Serial port %1 is not in the port map.").arg(number);
    return savePortMap(dir, map);
}

QString SerialPorts::openFailureText(const QString& device, bool deviceNotFound) {
    std::optional<PortResolution> missing;
    {
        std::lock_guard lock(g_mutex);
        if (g_missing.contains(device))
            missing = g_missing.value(device);
    }
    if (missing && missing->mapped) {
        QStringList present;
        for (const ListedPort& l : list(false))
            if (l.present)
                present << l.label();
        return QStringLiteral("The adapter of serial port %1 is not plugged in: %2, last seen "
                              "as %3.\r\nPlugged in now: %4.")
            .arg(missing->number)
            .arg(adapterText(*missing->mapped), missing->mapped->device,
                 present.isEmpty() ? QStringLiteral("no serial port") : present.join("; "));
    }
    if (deviceNotFound)
        return QStringLiteral("The device does not exist. \"nodalyx-cli ports\" and the \"Comm "
                              "port\" list of the configuration window show the ports there are.");
    return {};
}

} // namespace nodalyx
