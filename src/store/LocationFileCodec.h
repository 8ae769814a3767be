#pragma once

#include "GeneralSettings.h"
#include "KeyValue.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace nodalyx {

// The location file "<name>.fgr": a header line naming the file as a configuration file,
// then 30 lines, each a key and its value, CR LF after every line, Windows-1252 text.

// What decoding found: whether the first non-blank line is a location file header, and
// the first failure (reading stops there; fields read before it keep their new values).
struct LocationReadResult {
    bool headerOk = true;
    std::optional<ReadFailure> failure;
};

// Reads the file's bytes into settings. The record is not cleared first: fields the file
// does not mention keep their values.
LocationReadResult decodeLocationFile(const QByteArray& bytes, GeneralSettings& settings);

// The 31 lines of the file, headerLine first.
QByteArray encodeLocationFile(const GeneralSettings& settings, const QString& headerLine);

// The 30 lines after the header (two of them empty), without line ends.
QStringList locationBodyLines(const GeneralSettings& settings);

// The value the file's line of key holds (the key spelt as the file writes it: "Saterday",
// "eIPaddress", "eExt2"), as the writer writes it; empty for a key the file does not have.
QString settingText(const GeneralSettings& settings, const QString& key);

// "<name>: configuration file for VeraDazadizaro <short date> <hh:mm>"
QString locationHeader(const QString& name, const QDateTime& when);

// Stores one value under its file key (any case), converted as the reader converts it.
KeyResult applySettingKey(GeneralSettings& settings, const QString& key, const QString& value);

} // namespace nodalyx
