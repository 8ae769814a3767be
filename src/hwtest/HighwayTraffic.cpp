#include "HighwayTraffic.h"

#include "TrafficGatherer.h"
#include "TrafficRecorder.h"
#include "UnitFrames.h"

#include <memory>

namespace nodalyx::hw {

QString pollName(const QByteArray& frame) {
    if (frame.size() == kType1PollSize && quint8(frame.at(0)) == kType1Poll)
        return QStringLiteral("poll unit %1").arg(quint8(frame.at(1)));
    if (frame.size() == kType2PollSize)
        return QStringLiteral("poll type 2");
    return {};
}

QString pollVerdict(HighwayTest::Answer answer, bool bytesCame) {
    switch (answer) {
    case HighwayTest::Answer::Valid:
        return QStringLiteral("answered");
    case HighwayTest::Answer::Bad:
        return QStringLiteral("bad answer");
    case HighwayTest::Answer::None:
        break;
    }
    return bytesCame ? QStringLiteral("incomplete answer") : QStringLiteral("no answer");
}

void recordHighwayTest(HighwayTest& test, TrafficRecorder& recorder) {
    auto gatherer = std::make_shared<TrafficGatherer>(TrafficSource::Highway);
    QObject::connect(&test, &HighwayTest::traffic, &recorder,
                     [&recorder, gatherer](bool sent, const QByteArray& bytes) {
                         if (!sent) {
                             gatherer->received(bytes);
                             return;
                         }
                         for (const TrafficEntry& entry : gatherer->sent(bytes, pollName(bytes)))
                             recorder.record(entry);
                     });
    QObject::connect(&test, &HighwayTest::pollEnded, &recorder,
                     [&recorder, gatherer](int, HighwayTest::Answer answer) {
                         TrafficEntry entry = gatherer->ended({});
                         entry.verdict = pollVerdict(answer, !entry.bytes.isEmpty());
                         recorder.record(entry);
                     });
    QObject::connect(
        &test, &HighwayTest::inputDropped, &recorder, [&recorder, gatherer](qint64 count) {
            recorder.record(gatherer->note(QStringLiteral("dropped %1 bytes (stale)").arg(count)));
        });
}

} // namespace nodalyx::hw
