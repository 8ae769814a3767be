#include "UnitSimConfig.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace nodalyx::sim {

namespace {
const std::pair<UnitFault, const char*> kFaultNames[] = {
    {UnitFault::None, "none"},          {UnitFault::Silent, "silent"},
    {UnitFault::Late, "late"},          {UnitFault::Short, "short"},
    {UnitFault::Long, "long"},          {UnitFault::FirstByte, "first-byte"},
    {UnitFault::NoMarker, "no-marker"}, {UnitFault::Garbage, "garbage"},
};

bool parseNumber(const QString& text, int min, int max, int& out) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    out = v;
    return true;
}

bool checkUnit(const SimUnit& unit, QString* error) {
    if (unit.address < 0 || unit.address > 63) {
        *error = QStringLiteral("unit address %1 is not 0..63").arg(unit.address);
        return false;
    }
    if (unit.type != 1 && unit.type != 2) {
        *error = QStringLiteral("unit %1: type %2 is not 1 or 2").arg(unit.address).arg(unit.type);
        return false;
    }
    if (unit.codeText.size() > 12) {
        *error = QStringLiteral("unit %1: the code \"%2\" is longer than 12 characters")
                     .arg(unit.address)
                     .arg(unit.codeText);
        return false;
    }
    return true;
}

void putUnit(UnitSimConfig& config, const SimUnit& unit) {
    if (SimUnit* existing = config.unit(unit.address))
        *existing = unit;
    else
        config.units.append(unit);
}

bool readJsonUnit(const QJsonObject& o, SimUnit& unit, QString* error) {
    unit.address = o.value("address").toInt(-1);
    unit.type = o.value("type").toInt(0);
    unit.codeText = o.value("code").toString();
    const QJsonArray counters = o.value("counters").toArray();
    for (int k = 0; k < 4 && k < counters.size(); ++k)
        unit.counters[k] = std::clamp(counters[k].toInt(), 0, hw::kCounterLimit - 1);
    if (o.contains("fault")) {
        const auto fault = parseUnitFault(o.value("fault").toString());
        if (!fault) {
            *error = QStringLiteral("unit %1: unknown fault \"%2\"")
                         .arg(unit.address)
                         .arg(o.value("fault").toString());
            return false;
        }
        unit.fault = *fault;
    }
    return checkUnit(unit, error);
}
} // namespace

std::optional<UnitFault> parseUnitFault(const QString& name) {
    for (const auto& [fault, text] : kFaultNames)
        if (name.trimmed().compare(QLatin1String(text), Qt::CaseInsensitive) == 0)
            return fault;
    return std::nullopt;
}

QString unitFaultName(UnitFault fault) {
    for (const auto& [f, text] : kFaultNames)
        if (f == fault)
            return QLatin1String(text);
    return {};
}

QString unitFaultNames() {
    QStringList names;
    for (const auto& [fault, text] : kFaultNames)
        if (fault != UnitFault::None)
            names << QLatin1String(text);
    return names.join(QStringLiteral(", "));
}

SimUnit* UnitSimConfig::unit(int address) {
    for (SimUnit& u : units)
        if (u.address == address)
            return &u;
    return nullptr;
}

bool addUnitOption(const QString& text, UnitSimConfig& config, QString* error) {
    const QStringList parts = text.split(QLatin1Char(':'));
    SimUnit unit;
    if (parts.size() < 2 || parts.size() > 3 || !parseNumber(parts[0], 0, 63, unit.address) ||
        !parseNumber(parts[1], 1, 2, unit.type) || (parts.size() == 3 && unit.type != 2)) {
        *error = QStringLiteral("--unit %1: expected ADDR:1 or ADDR:2:CODE").arg(text);
        return false;
    }
    unit.codeText = parts.value(2);
    if (!checkUnit(unit, error))
        return false;
    putUnit(config, unit);
    return true;
}

bool addFaultOption(const QString& text, UnitSimConfig& config, QString* error) {
    const QStringList parts = text.split(QLatin1Char(':'));
    int address = -1;
    const auto fault = parts.size() == 2 ? parseUnitFault(parts[1]) : std::nullopt;
    if (!fault || !parseNumber(parts[0], 0, 63, address)) {
        *error = QStringLiteral("--fault %1: expected ADDR:KIND, KIND one of %2")
                     .arg(text, unitFaultNames());
        return false;
    }
    SimUnit* unit = config.unit(address);
    if (!unit) {
        *error = QStringLiteral("--fault %1: no unit %2 was given").arg(text).arg(address);
        return false;
    }
    unit->fault = *fault;
    return true;
}

bool loadUnitSimConfig(const QString& path, UnitSimConfig& config, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (!doc.isObject()) {
        *error = QStringLiteral("%1: not a JSON object (%2)").arg(path, parse.errorString());
        return false;
    }
    const QJsonObject root = doc.object();
    config.growMs = std::max(0, root.value("growMs").toInt(config.growMs));
    config.replyDelayMs = std::max(0, root.value("replyDelayMs").toInt(config.replyDelayMs));
    config.lateMs = std::max(0, root.value("lateMs").toInt(config.lateMs));
    for (const QJsonValue& v : root.value("units").toArray()) {
        SimUnit unit;
        if (!readJsonUnit(v.toObject(), unit, error)) {
            *error = path + QStringLiteral(": ") + *error;
            return false;
        }
        putUnit(config, unit);
    }
    return true;
}

} // namespace nodalyx::sim
