#pragma once

#include <QByteArray>
#include <QList>

namespace nodalyx {

inline constexpr int kUploadBlockSize = 238;

// The text of a file as the upload sends it: every line followed by one line feed, the
// carriage return of a CR LF line end left out (a lone CR stays a character). A last line
// without a line end still gets its line feed; an empty file gives an empty text.
QByteArray uploadText(const QByteArray& fileBytes);

// The text cut into blocks of 238 characters: block n (n >= 2) at index n, indexes 0 and 1
// unused; lastBlock is the number of the last block, 2 for a short text. A text of a multiple
// of 238 characters ends with an empty block, which is sent too.
struct UploadBlocks {
    QList<QByteArray> blocks; // FileBlocks
    qint16 lastBlock = 2;     // LastBlock
};
UploadBlocks splitUploadText(const QByteArray& text);

} // namespace nodalyx
