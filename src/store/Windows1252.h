#pragma once

#include <QByteArray>
#include <QString>

namespace nodalyx {

// Windows-1252, the code page of every text file and of the text on the wire: one byte per
// character. Our own table, so that every system (and every Qt, with or without ICU) reads
// and writes the same bytes.
//
// Every byte reads back as itself: the five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) read as the control characters of the same number and are written back
// as those bytes. A character the code page lacks is written as "?" (a character outside the
// Basic Multilingual Plane as one "?"), as Windows writes it.
QString decodeWindows1252(const QByteArray& bytes);
// The character of one byte; an undefined byte gives its own number.
char16_t windows1252Character(unsigned char byte);
QByteArray encodeWindows1252(const QString& text);

} // namespace nodalyx
