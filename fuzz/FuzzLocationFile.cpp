// The location file reader on any bytes: it never crashes, and the files it writes read back
// to themselves.
#include "FuzzCheck.h"
#include "LocationFileCodec.h"

#include <cstdint>

using namespace nodalyx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    GeneralSettings first;
    const LocationReadResult read = decodeLocationFile(bytes, first);
    if (read.failure)
        FUZZ_CHECK(read.failure->line >= 1 && !read.failure->reason.isEmpty());
    const QString header =
        locationHeader(QStringLiteral("Fuzz"), QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    // A record straight from arbitrary bytes may hold what no file holds (an empty list value
    // is read as five empty elements and written back with three dots), so the record is
    // taken once through the file; a file the tool wrote, read and written again, is then
    // the same file.
    GeneralSettings second;
    decodeLocationFile(encodeLocationFile(first, header), second);
    const QByteArray written = encodeLocationFile(second, header);
    GeneralSettings third;
    const LocationReadResult reread = decodeLocationFile(written, third);
    FUZZ_CHECK(reread.headerOk && !reread.failure);
    FUZZ_CHECK(encodeLocationFile(third, header) == written);
    return 0;
}
