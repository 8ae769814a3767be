#include "PrintableJson.h"

#include "PrintableText.h"

#include <QJsonArray>

namespace nodalyx::cli {

namespace {

QJsonValue printableValue(const QJsonValue& value) {
    if (value.isString())
        return printableText(value.toString());
    if (value.isObject())
        return printableJson(value.toObject());
    if (value.isArray()) {
        QJsonArray out;
        for (const QJsonValue& element : value.toArray())
            out.append(printableValue(element));
        return out;
    }
    return value;
}

} // namespace

QJsonObject printableJson(const QJsonObject& object) {
    QJsonObject out;
    for (auto it = object.begin(); it != object.end(); ++it)
        out.insert(printableText(it.key()), printableValue(it.value()));
    return out;
}

} // namespace nodalyx::cli
