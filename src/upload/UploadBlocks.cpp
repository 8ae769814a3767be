#include "UploadBlocks.h"

namespace nodalyx {

QByteArray uploadText(const QByteArray& fileBytes) {
    QByteArray text;
    text.reserve(fileBytes.size() + 1);
    qsizetype start = 0;
    while (start < fileBytes.size()) {
        qsizetype end = fileBytes.indexOf('\n', start);
        if (end < 0)
            end = fileBytes.size();
        qsizetype lineEnd = end;
        if (lineEnd > start && fileBytes.at(lineEnd - 1) == '\r')
            --lineEnd;
        text.append(fileBytes.constData() + start, lineEnd - start);
        text.append('\n');
        start = end + 1;
    }
    return text;
}

UploadBlocks splitUploadText(const QByteArray& text) {
    UploadBlocks out;
    out.blocks.resize(text.size() / kUploadBlockSize + 10);
    QByteArrayView rest(text);
    while (!rest.isEmpty()) {
        if (rest.size() < kUploadBlockSize) {
            out.blocks[out.lastBlock] = rest.toByteArray();
            rest = {};
        } else {
            out.blocks[out.lastBlock] = rest.first(kUploadBlockSize).toByteArray();
            rest = rest.sliced(kUploadBlockSize);
            ++out.lastBlock;
        }
    }
    return out;
}

} // namespace nodalyx
