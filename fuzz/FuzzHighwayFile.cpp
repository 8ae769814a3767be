// The highway file reader on any bytes: it never crashes, and a table whose values a file can
// hold comes back the same after a write and a read.
#include "FuzzCheck.h"
#include "HighwayFileCodec.h"

#include <cstdint>

using namespace nodalyx;

namespace {
bool fileCanHold(const UnitTable& table) {
    for (int i = 1; i < kUnitTableSize; ++i)
        for (const UnitKey& key : unitKeys())
            if (key.text && !unitValueProblem(table[i].*key.text).isEmpty())
                return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int highway = data[0] % 2 + 1;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    UnitTable first{};
    const HighwayReadResult read = decodeHighwayFile(bytes, highway, first);
    if (read.failure)
        FUZZ_CHECK(read.failure->line >= 1 && !read.failure->reason.isEmpty());
    const QByteArray written = encodeHighwayFile(highway, first);
    UnitTable second{};
    const HighwayReadResult reread = decodeHighwayFile(written, highway, second);
    FUZZ_CHECK(reread.headerOk);
    if (fileCanHold(first)) {
        FUZZ_CHECK(!reread.failure);
        FUZZ_CHECK(encodeHighwayFile(highway, second) == written);
    }
    return 0;
}
