#include "FrmCountChart.h"

#include "WindowPlacement.h"

#include "ui_FrmCountChart.h"

#include <QChart>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidgetItem>
#include <QValueAxis>
#include <algorithm>
#include <limits>

namespace nodalyx {

namespace {

constexpr qint64 kMinute = 60 * 1000;
// The spans of the "Show the last" box, in its order.
constexpr qint64 kSpans[] = {10 * kMinute, 60 * kMinute, 120 * kMinute};
constexpr int kDefaultSpan = 1;
// The time axis covers this much at least.
constexpr qint64 kMinimumAxisMs = 60 * 1000;
// Before the main window chooses channels, the first ones seen are shown, this many.
constexpr int kAutoChecked = 4;

} // namespace

FrmCountChart::FrmCountChart(QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::FrmCountChart>()),
      m_history(kSpans[std::size(kSpans) - 1]) {
    m_ui->setupUi(this);
    m_chart = new QChart;
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->legend()->setAlignment(Qt::AlignRight);
    m_timeAxis = new QDateTimeAxis(m_chart);
    m_timeAxis->setFormat(QStringLiteral("HH:mm:ss"));
    m_timeAxis->setTitleText(tr("Time"));
    m_countAxis = new QValueAxis(m_chart);
    m_countAxis->setLabelFormat(QStringLiteral("%d"));
    m_countAxis->setTitleText(tr("Counted since monitoring started"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_countAxis, Qt::AlignLeft);
    // An empty line that always holds the axes: a time axis that had no line when the chart
    // was first shown is never drawn, not even after lines come.
    auto* anchor = new QLineSeries(m_chart);
    m_chart->addSeries(anchor);
    anchor->attachAxis(m_timeAxis);
    anchor->attachAxis(m_countAxis);
    for (QLegendMarker* marker : m_chart->legend()->markers(anchor))
        marker->setVisible(false);
    m_ui->ChartView->setChart(m_chart); // the view owns the chart
    m_ui->ChartView->setRenderHint(QPainter::Antialiasing);
    m_ui->CboSpan->setCurrentIndex(kDefaultSpan);
    connect(m_ui->LstChannels, &QListWidget::itemChanged, this, &FrmCountChart::channelToggled);
    connect(m_ui->CboSpan, &QComboBox::currentIndexChanged, this, &FrmCountChart::spanChanged);
    connect(m_ui->CmdClose, &QPushButton::clicked, this, &QWidget::close);
    updateAxes();
    placeWindow(this);
}

FrmCountChart::~FrmCountChart() = default;

int FrmCountChart::code(const ChannelKey& key) {
    return (key.highway * 100 + key.address) * 10 + key.channel;
}

ChannelKey FrmCountChart::keyOf(int code) {
    return ChannelKey{code / 1000, code / 10 % 100, code % 10};
}

QString FrmCountChart::channelText(const SeenChannel& channel) {
    // One pass: a "%1" in the location text stays as it is.
    return tr("HW%1 %2 %3 ch %4")
        .arg(QString::number(channel.key.highway),
             QStringLiteral("%1").arg(channel.key.address, 2, 10, QLatin1Char('0')),
             channel.location, QString::number(channel.key.channel));
}

qint64 FrmCountChart::spanMs() const {
    return kSpans[std::clamp(m_ui->CboSpan->currentIndex(), 0, int(std::size(kSpans)) - 1)];
}

void FrmCountChart::addRead(const MonitorRead& read) {
    if (read.time.toMSecsSinceEpoch() < m_history.latestMsecs())
        return; // older than one shown: the history leaves it out too
    m_history.add(read);
    if (m_firstMsecs == 0)
        m_firstMsecs = read.time.toMSecsSinceEpoch();
    for (const SeenChannel& channel : m_history.channels()) {
        QListWidgetItem* item = m_items.value(code(channel.key));
        if (!item)
            addChannelItem(channel);
        else if (item->text() != channelText(channel))
            item->setText(channelText(channel)); // the location text changed
    }
    appendPoints(read.time.toMSecsSinceEpoch());
    updateAxes();
}

void FrmCountChart::addChannelItem(const SeenChannel& channel) {
    const int c = code(channel.key);
    const bool check = m_selectionGiven ? m_wanted.contains(c)
                                        : (m_wanted.contains(c) || m_lines.size() < kAutoChecked);
    auto* item = new QListWidgetItem(channelText(channel));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setData(Qt::UserRole, c);
    const QSignalBlocker quiet(m_ui->LstChannels);
    item->setCheckState(check ? Qt::Checked : Qt::Unchecked);
    m_ui->LstChannels->addItem(item);
    m_items.insert(c, item);
    if (check) {
        m_wanted.insert(c);
        showChannel(channel.key);
    }
    if (!m_ui->LstChannels->currentItem())
        m_ui->LstChannels->setCurrentItem(item);
}

void FrmCountChart::channelToggled(QListWidgetItem* item) {
    const ChannelKey key = keyOf(item->data(Qt::UserRole).toInt());
    const int c = code(key);
    const bool checked = item->checkState() == Qt::Checked;
    if (checked == m_lines.contains(c))
        return;              // the text changed, not the check
    m_selectionGiven = true; // a choice made: channels seen later are no longer checked
    if (checked) {
        m_wanted.insert(c);
        showChannel(key);
    } else {
        m_wanted.remove(c);
        hideChannel(key);
    }
    updateAxes();
}

// Makes the In and Out lines of a channel from the points within the span.
void FrmCountChart::showChannel(const ChannelKey& key) {
    // Short names, so the legend keeps them whole; the list names the location.
    const QString name = tr("HW%1 %2 ch %3")
                             .arg(key.highway)
                             .arg(key.address, 2, 10, QLatin1Char('0'))
                             .arg(key.channel);
    Lines lines{new QLineSeries, new QLineSeries};
    lines.in->setName(tr("%1 In").arg(name));
    lines.out->setName(tr("%1 Out").arg(name));
    QList<QPointF> in, out;
    for (const CountPoint& p : m_history.pointsSince(key, m_history.latestMsecs() - spanMs())) {
        in << QPointF(double(p.msecs), double(p.in));
        out << QPointF(double(p.msecs), double(p.out));
    }
    lines.in->replace(in);
    lines.out->replace(out);
    for (QLineSeries* series : {lines.in, lines.out}) {
        m_chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_countAxis);
    }
    // Out in the colour of In, dashed: a channel's two lines read as a pair.
    QPen dashed = lines.in->pen();
    dashed.setStyle(Qt::DashLine);
    lines.out->setPen(dashed);
    m_lines.insert(code(key), lines);
}

void FrmCountChart::hideChannel(const ChannelKey& key) {
    const Lines lines = m_lines.take(code(key));
    for (QLineSeries* series : {lines.in, lines.out}) {
        if (!series)
            continue;
        m_chart->removeSeries(series);
        delete series;
    }
}

// The newest read's point for every line shown, and the points that left the span dropped.
void FrmCountChart::appendPoints(qint64 msecs) {
    const qint64 oldest = m_history.latestMsecs() - spanMs();
    for (auto it = m_lines.cbegin(); it != m_lines.cend(); ++it) {
        const ChannelKey key = keyOf(it.key());
        const std::deque<CountPoint>& points = m_history.points(key);
        const Lines& lines = it.value();
        // A line made during this read (a channel just seen) holds the point already.
        const bool fresh =
            lines.in->count() > 0 && lines.in->at(lines.in->count() - 1).x() >= double(msecs);
        if (!points.empty() && points.back().msecs == msecs && !fresh) {
            lines.in->append(double(msecs), double(points.back().in));
            lines.out->append(double(msecs), double(points.back().out));
        }
        for (QLineSeries* series : {lines.in, lines.out}) {
            int old = 0;
            while (old < series->count() && series->at(old).x() < double(oldest))
                ++old;
            if (old > 0)
                series->removePoints(0, old);
        }
    }
}

void FrmCountChart::spanChanged() {
    // The lines are made afresh for the new span; the list stays as it is.
    const QList<int> shown = m_lines.keys();
    for (int c : shown) {
        const ChannelKey key = keyOf(c);
        hideChannel(key);
        showChannel(key);
    }
    updateAxes();
}

// The time axis ends at the newest read and reaches back the span, or to the first read when
// monitoring has run for less (a minute at least), so a short run fills the chart.
void FrmCountChart::updateAxes() {
    const qint64 end =
        m_history.latestMsecs() > 0 ? m_history.latestMsecs() : QDateTime::currentMSecsSinceEpoch();
    qint64 start = end - spanMs();
    if (m_firstMsecs > start)
        start = std::min(m_firstMsecs, end - kMinimumAxisMs);
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(start),
                         QDateTime::fromMSecsSinceEpoch(end));
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    for (const Lines& lines : std::as_const(m_lines))
        for (QLineSeries* series : {lines.in, lines.out})
            if (series->count() > 0) {
                low = std::min({low, series->at(0).y(), series->at(series->count() - 1).y()});
                high = std::max({high, series->at(0).y(), series->at(series->count() - 1).y()});
            }
    if (low > high)
        low = high = 0;
    m_countAxis->setRange(low, std::max(high, low + 10.0));
    m_countAxis->applyNiceNumbers();
}

void FrmCountChart::clear() {
    for (int c : m_lines.keys())
        hideChannel(keyOf(c));
    m_ui->LstChannels->clear();
    m_items.clear();
    m_history.clear();
    m_firstMsecs = 0;
    updateAxes();
}

void FrmCountChart::selectUnits(const QList<std::tuple<int, int, int>>& highwayAddressChannel) {
    if (highwayAddressChannel.isEmpty())
        return; // nothing selected: the channels shown stay
    m_selectionGiven = true;
    m_wanted.clear();
    for (const auto& [highway, address, channel] : highwayAddressChannel)
        m_wanted.insert(code(ChannelKey{highway, address, channel}));
    for (QListWidgetItem* item : std::as_const(m_items)) {
        const Qt::CheckState state =
            m_wanted.contains(item->data(Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked;
        if (item->checkState() != state)
            item->setCheckState(state); // channelToggled follows
    }
}

} // namespace nodalyx
