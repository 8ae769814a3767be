#include "TrafficTrace.h"

#include "Link.h"

#include <QTextStream>

namespace nodalyx::cli {

QString traceLine(const QDateTime& when, bool sent, const QByteArray& bytes) {
    return when.toString(QStringLiteral("HH:mm:ss.zzz")) +
           (sent ? QStringLiteral(" -> ") : QStringLiteral(" <- ")) +
           QString::fromLatin1(bytes.toHex(' ').toUpper());
}

void traceToStderr(Link& link) {
    QObject::connect(&link, &Link::traffic, &link, [](bool sent, const QByteArray& bytes) {
        QTextStream(stderr) << traceLine(QDateTime::currentDateTime(), sent, bytes) << Qt::endl;
    });
    QObject::connect(&link, &Link::inputDropped, &link, [](qint64 count, const QString& why) {
        QTextStream(stderr) << QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"))
                            << " !! dropped " << count << " bytes (" << why << ")" << Qt::endl;
    });
}

} // namespace nodalyx::cli
