#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace nodalyx {

// The conversions the file readers apply to values, the way the old run-time library did:
// blanks around the number are allowed, so are decimals ("1.5") and an exponent; words are
// not. Each answers an empty text when it worked, else why not ("is not a number", "is out
// of range 0..255"), ready to follow "<key> value <value> ".

// Rounds to the nearest whole number, halves to the even one (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
double roundHalfEven(double value);

// Any finite decimal number.
QString toNumber(const QString& text, double& out);
QString toInt16(const QString& text, qint16& out);
QString toFloat(const QString& text, float& out);
QString toByte(const QString& text, quint8& out);
// "True"/"False" in any case, or a number (not zero is true).
QString toBoolean(const QString& text, bool& out);

// The shortest decimal text that reads back as the same float, never in exponent form
// (1 -> "1", 1.5 -> "1.5").
QString floatText(float value);

// Removes blanks (spaces only) at both ends, as the files' readers always did.
QString trimBlanks(const QString& text);

// A whole number from min to max written in decimal (a command-line value); out is left alone
// when the text is none.
bool parseInteger(const QString& text, int min, int max, int& out);

} // namespace nodalyx
