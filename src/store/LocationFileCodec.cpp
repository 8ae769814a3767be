#include "LocationFileCodec.h"

#include "TextConvert.h"
#include "Windows1252.h"

#include <QLocale>
#include <array>

namespace nodalyx {

namespace {

const char* const kHeaderWord = "VERADAZADIZARO";
const std::array<const char*, 7> kDayKeys{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saterday"};

struct TextKey {
    const char* key;
    QString GeneralSettings::*field;
};
const std::array<TextKey, 10> kTextKeys{{
    {"PhoneNumber", &GeneralSettings::PhoneNumber},
    {"IPnumber", &GeneralSettings::IPnumber},
    {"Portnumber", &GeneralSettings::Portnumber},
    {"LocationCode", &GeneralSettings::LocationCode},
    {"LocationName", &GeneralSettings::LocationName},
    {"LocationPlace", &GeneralSettings::LocationPlace},
    {"Interval", &GeneralSettings::Interval},
    {"ePortnumber", &GeneralSettings::ePortnumber},
    {"eHostname", &GeneralSettings::eHostname},
    {"eSerialnumber", &GeneralSettings::eSerialnumber},
}};

struct ListKey {
    const char* key;
    QStringList GeneralSettings::*field;
    QChar separator;
    int parts; // elements the line needs; an empty value gives parts + 1 empty elements
};
const std::array<ListKey, 4> kListKeys{{
    {"eIPaddress", &GeneralSettings::eIPaddress, QLatin1Char('.'), 4},
    {"eSubnetmask", &GeneralSettings::eSubnetmask, QLatin1Char('.'), 4},
    {"eGateway", &GeneralSettings::eGateway, QLatin1Char('.'), 4},
    {"eMACaddress", &GeneralSettings::eMACaddress, QLatin1Char(':'), 6},
}};

bool sameKey(const QString& upperKey, const char* key) {
    return upperKey == QString::fromLatin1(key).toUpper();
}

// At most `parts` elements, the last keeping any further separators. Each character is
// looked at once at most: a damaged file with a million separators on one line reads as fast
// as any other line of that length.
QStringList splitList(const QString& value, QChar separator, int parts) {
    if (value.isEmpty())
        return QStringList(parts + 1, QString());
    QStringList pieces;
    qsizetype start = 0;
    while (pieces.size() < parts - 1) {
        const qsizetype at = value.indexOf(separator, start);
        if (at < 0)
            break;
        pieces << value.mid(start, at - start);
        start = at + 1;
    }
    pieces << value.mid(start);
    return pieces;
}

QString joinList(const QStringList& list, QChar separator, int parts) {
    return list.size() < parts ? QString() : list.mid(0, parts).join(separator);
}

QString* textField(GeneralSettings& s, const QString& upperKey) {
    for (const TextKey& t : kTextKeys) {
        if (sameKey(upperKey, t.key))
            return &(s.*t.field);
    }
    for (size_t i = 0; i < kDayKeys.size(); ++i) {
        if (sameKey(upperKey, kDayKeys[i]))
            return &s.Days[i];
    }
    for (size_t i = 0; i < s.eExt.size(); ++i) {
        if (upperKey == QStringLiteral("EEXT%1").arg(i + 1))
            return &s.eExt[i];
    }
    return nullptr;
}

const ListKey* listKey(const QString& upperKey) {
    for (const ListKey& l : kListKeys) {
        if (sameKey(upperKey, l.key))
            return &l;
    }
    return nullptr;
}

KeyResult applyConvertedKey(GeneralSettings& s, const QString& upperKey, const QString& value) {
    if (upperKey == QLatin1String("CONNTYPE"))
        return keyResult(toInt16(value, s.ConnType), "ConnType", value);
    if (upperKey == QLatin1String("COMPORT"))
        return keyResult(toFloat(value, s.Comport), "Comport", value);
    if (upperKey == QLatin1String("EDHCP"))
        return keyResult(toBoolean(value, s.eDHCP), "eDHCP", value);
    return {KeyResult::Unknown, {}};
}

bool isHeader(const QString& line) {
    return line.toUpper().contains(QLatin1String(kHeaderWord));
}

// A line after the header: skipped when it holds "[", "]" and "=", else a key and value.
std::optional<QString> readBodyLine(const QString& line, GeneralSettings& settings) {
    if (line.contains(QLatin1Char('[')) && line.contains(QLatin1Char(']')) &&
        line.contains(QLatin1Char('=')))
        return std::nullopt;
    const KeyValue kv = splitKeyValue(line);
    if (!kv.error.isEmpty())
        return kv.error;
    const KeyResult result = applySettingKey(settings, kv.key, kv.value);
    if (result.status == KeyResult::Rejected)
        return result.reason;
    return std::nullopt;
}

QString listLine(const GeneralSettings& s, const ListKey& l) {
    return QLatin1String(l.key) + QLatin1Char('=') + joinList(s.*l.field, l.separator, l.parts);
}

QString textLine(const char* key, const QString& value) {
    return QLatin1String(key) + QLatin1Char('=') + value;
}

} // namespace

KeyResult applySettingKey(GeneralSettings& settings, const QString& key, const QString& value) {
    const QString upperKey = key.toUpper();
    if (QString* field = textField(settings, upperKey)) {
        *field = value;
        return {};
    }
    if (const ListKey* l = listKey(upperKey)) {
        settings.*(l->field) = splitList(value, l->separator, l->parts);
        return {};
    }
    return applyConvertedKey(settings, upperKey, value);
}

LocationReadResult decodeLocationFile(const QByteArray& bytes, GeneralSettings& settings) {
    LocationReadResult result;
    bool headerSeen = false;
    const QStringList lines = splitLines(decodeWindows1252(bytes));
    for (int i = 0; i < lines.size(); ++i) {
        if (trimBlanks(lines[i]).isEmpty())
            continue;
        if (!headerSeen) {
            headerSeen = true;
            result.headerOk = isHeader(lines[i]);
            if (!result.headerOk)
                return result;
            continue;
        }
        if (std::optional<QString> error = readBodyLine(lines[i], settings)) {
            result.failure = ReadFailure{i + 1, *error};
            return result;
        }
    }
    return result;
}

QStringList locationBodyLines(const GeneralSettings& s) {
    QStringList lines{QString(),
                      QStringLiteral("ConnType=%1").arg(s.ConnType),
                      textLine("Comport", floatText(s.Comport)),
                      textLine("PhoneNumber", s.PhoneNumber),
                      textLine("IPnumber", s.IPnumber),
                      textLine("Portnumber", s.Portnumber),
                      QString(),
                      textLine("LocationCode", s.LocationCode),
                      textLine("LocationName", s.LocationName),
                      textLine("LocationPlace", s.LocationPlace)};
    for (size_t i = 0; i < kDayKeys.size(); ++i)
        lines << textLine(kDayKeys[i], s.Days[i]);
    lines << textLine("Interval", s.Interval) << listLine(s, kListKeys[0])
          << listLine(s, kListKeys[1]) << listLine(s, kListKeys[2])
          << textLine("eDHCP", s.eDHCP ? QStringLiteral("1") : QStringLiteral("0"))
          << textLine("ePortnumber", s.ePortnumber) << listLine(s, kListKeys[3])
          << textLine("eHostname", s.eHostname) << textLine("eSerialnumber", s.eSerialnumber);
    for (size_t i = 0; i < s.eExt.size(); ++i)
        lines << QStringLiteral("eExt%1=").arg(i + 1) + s.eExt[i];
    return lines;
}

QString settingText(const GeneralSettings& settings, const QString& key) {
    const QString start = key + QLatin1Char('=');
    for (const QString& line : locationBodyLines(settings)) {
        if (line.startsWith(start))
            return line.mid(start.size());
    }
    return {};
}

QByteArray encodeLocationFile(const GeneralSettings& settings, const QString& headerLine) {
    const QStringList lines = QStringList{headerLine} + locationBodyLines(settings);
    return encodeWindows1252(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
}

QString locationHeader(const QString& name, const QDateTime& when) {
    return name + QLatin1String(": configuration file for VeraDazadizaro ") +
           QLocale::system().toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           when.toString(QStringLiteral("HH:mm"));
}

} // namespace nodalyx
