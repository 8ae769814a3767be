#pragma once

#include "PortMap.h"
#include "PortSource.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace nodalyx {

// Which device serial port number n of a location is, resolved each time a port opens:
//  - on Windows COM n itself;
//  - else the device named by NODALYX_COM<n> (scripts and tests rely on it);
//  - else the adapter the port map (ports.ini in the program directory) ties to n, found by
//    its identity among the ports plugged in now, whatever name it has today;
//  - else /dev/ttyS<n-1>.
struct PortResolution {
    enum class Source { Windows, Override, Map, Default };
    int number = 0;
    QString device;
    Source source = Source::Default;
    std::optional<PortMapEntry> mapped; // the map's entry (Source::Map)
    bool adapterMissing = false;        // mapped, but not plugged in now
};

// A port as `nodalyx-cli ports` and the port boxes list it.
struct ListedPort {
    std::optional<int> number; // the COM number it is known by
    PortInfo info;
    bool mapped = false; // the number comes from the map or NODALYX_COM<n>
    bool present = true; // discovery sees it (a mapped or overridden device may not be)
    // "3 - /dev/ttyUSB0 - FT232R USB UART (A10K4XYZ)", for the port boxes.
    QString label() const;
};

// The serial ports of this installation. Process-wide: the ports and their map are the
// machine's, the same for every location and thread (a mutex guards the settings).
class SerialPorts {
public:
    // The directory that holds ports.ini (the program directory); empty: no map.
    static void setProgramDir(const QString& dir);
    static QString programDir();
    // Discovery: the system's ports unless a test puts a script in its place (nullptr: the
    // system's again).
    static void setSource(std::shared_ptr<const PortSource> source);
    static std::shared_ptr<const PortSource> source();

    static PortResolution resolve(int number);
    // Every port present, then the mapped and overridden devices discovery does not see.
    static QList<ListedPort> list(bool tryOpening);

    // Whether this system numbers its ports itself (Windows): then there is no map.
    static bool hasComNumbers();
    // Ties number to the device (as plugged in now) in the map. Empty, or why not.
    static QString map(int number, const QString& device);
    // Removes number from the map. Empty, or why not.
    static QString unmap(int number);
    // The number a device has without the map: COM n is n, /dev/ttyS<k> is k + 1.
    static std::optional<int> defaultNumberOf(const QString& device);
    // The identity that finds this port again (see PortMapEntry).
    static QString identityOf(const PortInfo& port);

    // Said when opening a port failed; about a mapped adapter that is missing when the
    // device was resolved from the map.
    static QString openFailureText(const QString& device, bool deviceNotFound);
};

} // namespace nodalyx
