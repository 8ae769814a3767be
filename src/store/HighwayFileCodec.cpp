#include "HighwayFileCodec.h"

#include "TextConvert.h"
#include "Windows1252.h"

#include <QStringList>
#include <algorithm>

namespace nodalyx {

namespace {

QList<UnitKey> makeUnitKeys() {
    using U = UnitConfig;
    QList<UnitKey> keys{{"HWaddress", &U::HWaddress},
                        {"Col1", &U::Col1},
                        {"Col2", &U::Col2},
                        {"Col3", &U::Col3},
                        {"Col4", &U::Col4}};
    keys << UnitKey{"CorrType1", &U::CorrType1} << UnitKey{"Entrancewidth1", &U::Entrancewidth1}
         << UnitKey{"Name1", &U::Name1} << UnitKey{"From1", &U::From1} << UnitKey{"To1", &U::To1}
         << UnitKey{"Cor1", nullptr, &U::Cor1};
    keys << UnitKey{"CorrType2", &U::CorrType2} << UnitKey{"Entrancewidth2", &U::Entrancewidth2}
         << UnitKey{"Name2", &U::Name2} << UnitKey{"From2", &U::From2} << UnitKey{"To2", &U::To2}
         << UnitKey{"Cor2", nullptr, &U::Cor2};
    keys << UnitKey{"CorrType3", &U::CorrType3} << UnitKey{"Entrancewidth3", &U::Entrancewidth3}
         << UnitKey{"Name3", &U::Name3} << UnitKey{"From3", &U::From3} << UnitKey{"To3", &U::To3}
         << UnitKey{"Cor3", nullptr, &U::Cor3};
    keys << UnitKey{"CorrType4", &U::CorrType4} << UnitKey{"Entrancewidth4", &U::Entrancewidth4}
         << UnitKey{"Name4", &U::Name4} << UnitKey{"From4", &U::From4} << UnitKey{"To4", &U::To4}
         << UnitKey{"Cor4", nullptr, &U::Cor4};
    return keys;
}

QString headerText(int highway) {
    return QStringLiteral("[Datalogger Configuration HW0%1]").arg(highway);
}

// Where the keys of the lines go: the entry chosen by the last Address line.
struct ReadPosition {
    double index = 0;
    QString addressText;
};

std::optional<QString> readAddress(const QString& value, ReadPosition& position) {
    double number = 0;
    const QString error = toNumber(value, number);
    if (!error.isEmpty())
        return keyResult(error, "Address", value).reason;
    position = {roundHalfEven(number + 1), value};
    return std::nullopt;
}

std::optional<QString> readUnitLine(const KeyValue& kv, ReadPosition& position, UnitTable& table) {
    if (kv.key.toUpper() == QLatin1String("ADDRESS"))
        return readAddress(kv.value, position);
    UnitConfig probe;
    if (applyUnitKey(probe, kv.key, kv.value).status == KeyResult::Unknown)
        return std::nullopt;
    if (position.index < 0 || position.index >= kUnitTableSize)
        return QStringLiteral("address %1 puts the unit outside 00..63").arg(position.addressText);
    const KeyResult result = applyUnitKey(table[size_t(position.index)], kv.key, kv.value);
    if (result.status == KeyResult::Rejected)
        return result.reason;
    return std::nullopt;
}

std::optional<QString> readLine(QString line, ReadPosition& position, UnitTable& table) {
    if (line.contains(QLatin1Char('[')) || line.contains(QLatin1Char(']')))
        return std::nullopt;
    line.remove(QLatin1Char('\t'));
    if (!line.contains(QLatin1Char('=')))
        return std::nullopt;
    const KeyValue kv = splitKeyValue(line);
    if (!kv.error.isEmpty())
        return kv.error;
    return readUnitLine(kv, position, table);
}

void appendBlock(QStringList& lines, int index, const UnitConfig& unit) {
    lines << QString() << QStringLiteral("[Location]")
          << QStringLiteral("Address=%1").arg(index - 1, 2, 10, QLatin1Char('0'))
          << QStringLiteral("Active=%1").arg(unit.Active ? 1 : 0)
          << QStringLiteral("HWtype=%1").arg(unit.HWtype);
    for (const UnitKey& key : unitKeys()) {
        const QString value = key.text ? unit.*(key.text) : QString::number(unit.*(key.number));
        lines << QLatin1String(key.name) + QLatin1Char('=') + value;
    }
}

} // namespace

const QList<UnitKey>& unitKeys() {
    static const QList<UnitKey> keys = makeUnitKeys();
    return keys;
}

KeyResult applyUnitKey(UnitConfig& unit, const QString& key, const QString& value) {
    const QString upperKey = key.toUpper();
    if (upperKey == QLatin1String("ACTIVE"))
        return keyResult(toBoolean(value, unit.Active), "Active", value);
    if (upperKey == QLatin1String("HWTYPE"))
        return keyResult(toInt16(value, unit.HWtype), "HWtype", value);
    for (const UnitKey& k : unitKeys()) {
        if (upperKey != QString::fromLatin1(k.name).toUpper())
            continue;
        if (k.text) {
            unit.*(k.text) = value;
            return {};
        }
        return keyResult(toByte(value, unit.*(k.number)), k.name, value);
    }
    return {KeyResult::Unknown, {}};
}

HighwayReadResult decodeHighwayFile(const QByteArray& bytes, int highway, UnitTable& table) {
    HighwayReadResult result;
    const QStringList lines = splitLines(decodeWindows1252(bytes));
    if (lines.isEmpty())
        return result;
    result.headerOk = lines.first().toUpper().contains(headerText(highway).toUpper());
    if (!result.headerOk)
        return result;
    ReadPosition position;
    for (int i = 1; i < lines.size(); ++i) {
        if (std::optional<QString> error = readLine(lines[i], position, table)) {
            result.failure = ReadFailure{i + 1, *error};
            break;
        }
    }
    return result;
}

int unitsInHighwayFile(const QByteArray& bytes) {
    std::array<bool, kUnitsPerHighway> seen{};
    for (const QString& line : splitLines(decodeWindows1252(bytes))) {
        const KeyValue kv = splitKeyValue(line);
        if (!kv.error.isEmpty() || kv.key.toUpper() != QLatin1String("ADDRESS"))
            continue;
        ReadPosition position;
        if (readAddress(kv.value, position) || position.index < 1 ||
            position.index > kUnitsPerHighway)
            continue;
        seen[size_t(position.index) - 1] = true;
    }
    return int(std::count(seen.begin(), seen.end(), true));
}

QByteArray encodeHighwayFile(int highway, const UnitTable& table) {
    QStringList lines{headerText(highway), QString()};
    for (int i = 1; i <= kUnitsPerHighway; ++i)
        appendBlock(lines, i, table[size_t(i)]);
    return encodeWindows1252(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
}

QString unitValueProblem(const QString& value) {
    if (value.contains(QLatin1Char('[')) || value.contains(QLatin1Char(']')))
        return QStringLiteral("cannot hold \"[\" or \"]\": the file's reader skips such a line");
    if (value.contains(QLatin1Char('{')))
        return QStringLiteral("cannot hold \"{\": the file's reader takes it as a comment");
    const bool control =
        std::any_of(value.begin(), value.end(), [](QChar c) { return c.unicode() < 32; });
    return control ? QStringLiteral("cannot hold control characters or line breaks") : QString();
}

} // namespace nodalyx
