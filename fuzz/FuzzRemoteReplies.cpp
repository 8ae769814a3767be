// The decoders of the logger's remote-settings replies (days, interval, addresses, port, MAC,
// texts) on any bytes: no crash, and every value is what its box can show.
#include "FuzzCheck.h"
#include "RemoteReplies.h"

#include <QStringList>

#include <cstdint>

using namespace nodalyx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto day = decodeDayReply(reply))
        FUZZ_CHECK(day->start.contains(':') && day->stop.contains(':'));
    if (const auto interval = decodeIntervalReply(reply))
        FUZZ_CHECK(QStringList({"5", "10", "15", "30", "60"}).contains(*interval));
    for (int first : {3, 7, 11}) {
        if (const auto octets = decodeOctets(reply, first))
            for (const QString& octet : *octets)
                FUZZ_CHECK(octet.toInt() >= 0 && octet.toInt() <= 255 && !octet.isEmpty());
    }
    if (const auto port = decodePortReply(reply)) {
        bool ok = false;
        const int value = port->toInt(&ok);
        FUZZ_CHECK(ok && value >= 0 && value <= 65535);
    }
    if (const auto mac = decodeMacReply(reply))
        for (const QString& part : *mac)
            FUZZ_CHECK(part.size() >= 1 && part.size() <= 2);
    for (int maximum : {10, 20})
        if (const auto text = decodeTrimmedText(reply, maximum))
            FUZZ_CHECK(text->size() <= maximum && !text->contains(QChar(0)));
    for (int count : {6, 10}) {
        const QString text = locationText(reply, count);
        FUZZ_CHECK(text.size() <= count && !text.contains(QChar(0)));
    }
    return 0;
}
