#pragma once

#include <QString>
#include <QStringList>

namespace nodalyx {

// One "key=value" line of a location or highway file, taken apart the way both readers do:
// TABs vanish, the key is the text before the first "=", the value the text after it up to
// a "{" (a comment follows), both trimmed of blanks. error is set when the line has no "="
// or the "{" comes before the "=".
struct KeyValue {
    QString key;
    QString value;
    QString error;
};
KeyValue splitKeyValue(const QString& line);

// What storing one key did: stored, not a key of the record, or refused with a reason such
// as "Cor1 value 300 is out of range 0..255".
struct KeyResult {
    enum Status { Stored, Unknown, Rejected } status = Stored;
    QString reason;
};
// Turns the answer of a conversion into a KeyResult naming the key and the value (quoted
// when it is not a number).
KeyResult keyResult(const QString& conversionError, const char* key, const QString& value);

// The lines of a text file: split at LF, a CR before it dropped; no last empty line.
QStringList splitLines(const QString& text);

// Line 1-based, the reason without the file's name.
struct ReadFailure {
    int line = 0;
    QString reason;
};

} // namespace nodalyx
