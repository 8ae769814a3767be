#pragma once

#include <QString>

namespace nodalyx {

// Text from the logger (one character per byte, the character's code the byte's value) or
// from a file (Windows-1252) made safe to show on a terminal or in a window: every character
// that is not printable Windows-1252 becomes \xNN, two lower-case hexadecimal digits of its
// byte value, so that a control character never reaches the screen raw.
//
// Printable Windows-1252 is 0x20..0x7E, 0xA0..0xFF and the positions of 0x80..0x9F that the
// code page gives a character (the euro sign, quotes, dashes, ...); a character at such a
// position that came as a byte (U+0080..U+009F) is shown as the code page's character, e.g.
// 0x80 as the euro sign. Escaped are 0x00..0x1F, 0x7F and 0x81, 0x8D, 0x8F, 0x90, 0x9D.
// A character beyond one byte that the code page has (the euro sign read from a file) is
// shown as it is; so is any other character beyond one byte, which only the operator's own
// typing can produce. A backslash is left as it is.
QString printableText(const QString& text);

// The same for a message of several lines: line breaks (CR LF, LF) stay, everything else in
// the lines is made printable.
QString printableLines(const QString& text);

} // namespace nodalyx
