#include "TransferProgress.h"

#include <cmath>

namespace nodalyx {

QString TransferProgress::text() const {
    if (finished)
        return QStringLiteral("%1: %2/%3 blocks, done").arg(file).arg(blocksDone).arg(blocksTotal);
    if (blocksTotal <= 0)
        return QStringLiteral("%1: asking the logger").arg(file);
    QString line = QStringLiteral("%1: %2/%3 blocks").arg(file).arg(blocksDone).arg(blocksTotal);
    if (secondsLeft >= 0)
        line += QStringLiteral(", about %1 s left").arg(secondsLeft);
    return line;
}

int TimeLeft::seconds(int done, int total) const {
    if (done <= 0 || !m_clock.isValid() || total < done)
        return -1;
    const double perBlock = double(m_clock.elapsed()) / 1000.0 / done;
    return int(std::ceil(perBlock * (total - done)));
}

} // namespace nodalyx
