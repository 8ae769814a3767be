#include "TestRow.h"

namespace nodalyx::hw {

void updateChannel(TestRow& row, int channel, int value) {
    if (channel < 1 || channel > 4)
        return;
    const int k = channel - 1;
    if (!row.baselineTaken[k]) {
        row.baselineTaken[k] = true;
        row.CC[k] = value;
    }
    row.C[k] = value;
    const int b = row.CC[k];
    row.Count[k] = b <= value ? value - b : kCounterWrap - b + value;
}

bool takeReply(TestRow& row, const QByteArray& reply) {
    const std::optional<Counters> c = decodeReply(reply);
    if (!c)
        return false;
    if (reply.size() == kType2ReplySize) {
        for (int k = 0; k < 4; ++k)
            updateChannel(row, k + 1, (*c)[k]);
    } else {
        updateChannel(row, 1, (*c)[0]);
        updateChannel(row, 2, (*c)[2]);
        row.C[2] = (*c)[1];
        row.C[3] = (*c)[3];
    }
    ++row.RX;
    return true;
}

QStringList testColumnTexts(const TestRow& row) {
    QStringList texts{QString::number(row.TX), QString::number(row.RX)};
    for (const auto* column : {&row.C, &row.Count, &row.CC})
        for (int value : *column)
            texts << QString::number(value);
    return texts;
}

} // namespace nodalyx::hw
