#pragma once

#include "CountHistory.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QWidget>
#include <memory>
#include <tuple>

class QChart;
class QDateTimeAxis;
class QLineSeries;
class QListWidgetItem;
class QValueAxis;

namespace Ui {
class FrmCountChart;
}

namespace nodalyx {

// The monitoring chart: what the checked unit channels of both highways counted in and out
// since monitoring started, over the last 10 minutes, hour (the default) or 2 hours. Modeless;
// the main window feeds it every read. Each checked channel has an In and an Out line; a read
// appends one point to each and drops the points that left the span shown.
class FrmCountChart : public QWidget {
    Q_OBJECT
public:
    explicit FrmCountChart(QWidget* parent = nullptr);
    ~FrmCountChart() override;

    // One read of the monitor: new channels join the list, the lines of the checked ones grow.
    void addRead(const MonitorRead& read);
    // Monitoring started again: the channels and points go; the checked ones stay chosen.
    void clear();
    // Checks exactly these (highway, address, channel) channels, now or when they are seen;
    // an empty list changes nothing.
    void selectUnits(const QList<std::tuple<int, int, int>>& highwayAddressChannel);

    // "HW1 03 North door ch 1"
    static QString channelText(const SeenChannel& channel);
    // The span shown, in ms.
    qint64 spanMs() const;

private:
    struct Lines {
        QLineSeries* in = nullptr;
        QLineSeries* out = nullptr;
    };
    void addChannelItem(const SeenChannel& channel);
    void channelToggled(QListWidgetItem* item);
    void showChannel(const ChannelKey& key);
    void hideChannel(const ChannelKey& key);
    void appendPoints(qint64 msecs);
    void spanChanged();
    void updateAxes();
    static int code(const ChannelKey& key);
    static ChannelKey keyOf(int code);

    std::unique_ptr<Ui::FrmCountChart> m_ui;
    QChart* m_chart = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_countAxis = nullptr;
    CountHistory m_history;
    qint64 m_firstMsecs = 0;              // the first read since the last clear(); 0 before any
    QHash<int, Lines> m_lines;            // the checked channels' lines, by code()
    QHash<int, QListWidgetItem*> m_items; // every channel's item, by code()
    QSet<int> m_wanted; // checked when seen (selectUnits, or checked before clear)
    bool m_selectionGiven = false;
};

} // namespace nodalyx
