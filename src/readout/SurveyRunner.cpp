// The survey of many locations: worker threads, each with its own context and link.
#include "SiteSurvey.h"

#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <map>

namespace nodalyx {

// One worker thread and what it owns apart from its locations' contexts (which live on the
// thread's stack): the cancel its routines look at. The runner's thread only calls request().
struct SurveyRunner::Worker {
    std::unique_ptr<QThread> thread;
    Cancellation cancel;
};

SurveyRunner::SurveyRunner(QObject* parent) : QObject(parent) {}

SurveyRunner::~SurveyRunner() {
    for (const auto& w : m_workers)
        w->cancel.request();
    for (const auto& w : m_workers)
        w->thread->wait();
}

void SurveyRunner::start(const QString& programDir, const QStringList& locations,
                         const SurveyOptions& options) {
    if (m_running)
        return;
    m_programDir = programDir;
    m_locations = locations;
    m_options = options;
    m_options.jobs = std::max(1, options.jobs);
    m_results.assign(size_t(locations.size()), std::nullopt);
    m_waiting.clear();
    m_done = 0;
    m_peakWorkers = 0;
    m_cancelled = false;
    // A TCP location (or one that cannot be read: it fails at once) is a group of its own; the
    // locations of one serial device form one group, surveyed one after another.
    std::map<QString, size_t> byDevice;
    for (int i = 0; i < locations.size(); ++i) {
        const QString device = surveySerialDevice(programDir, locations[i]);
        if (device.isEmpty()) {
            m_waiting.push_back({i});
        } else if (auto it = byDevice.find(device); it != byDevice.end()) {
            m_waiting[it->second] << i;
        } else {
            byDevice.emplace(device, m_waiting.size());
            m_waiting.push_back({i});
        }
    }
    m_running = true;
    if (locations.isEmpty()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_running = false;
                emit finished();
            },
            Qt::QueuedConnection);
        return;
    }
    startWorkers();
}

void SurveyRunner::startWorkers() {
    while (!m_cancelled && !m_waiting.empty() && int(m_workers.size()) < m_options.jobs) {
        const QList<int> group = m_waiting.front();
        m_waiting.erase(m_waiting.begin());
        auto worker = std::make_unique<Worker>();
        Worker* w = worker.get();
        SurveyRunner* self = this;
        // Everything the thread uses is copied in or its own; results go back queued.
        worker->thread.reset(QThread::create([self, group, dir = m_programDir, names = m_locations,
                                              options = m_options, cancel = &w->cancel] {
            for (int index : group) {
                if (cancel->requested())
                    break;
                const SurveyResult r = surveyLocation(dir, names[index], options, cancel);
                // The runner outlives the thread (its destructor joins); a result posted
                // to a runner deleted meanwhile is dropped with it.
                QMetaObject::invokeMethod(
                    self, [self, index, r] { self->takeResult(index, r); }, Qt::QueuedConnection);
            }
        }));
        connect(worker->thread.get(), &QThread::finished, this, [this, w] { workerEnded(w); });
        m_workers.push_back(std::move(worker));
        m_peakWorkers = std::max(m_peakWorkers, int(m_workers.size()));
        w->thread->start();
    }
}

void SurveyRunner::takeResult(int index, const SurveyResult& result) {
    m_results[size_t(index)] = result;
    ++m_done;
    emit resultReady(result);
    emit progress(m_done, int(m_locations.size()));
}

void SurveyRunner::workerEnded(Worker* worker) {
    // The thread's last results were posted before it finished, so they have been taken.
    const auto it = std::find_if(m_workers.begin(), m_workers.end(),
                                 [worker](const auto& w) { return w.get() == worker; });
    if (it == m_workers.end())
        return;
    (*it)->thread->wait();
    m_workers.erase(it);
    startWorkers();
    if (m_workers.empty() && (m_waiting.empty() || m_cancelled)) {
        m_waiting.clear();
        m_running = false;
        emit finished();
    }
}

void SurveyRunner::cancel() {
    if (!m_running)
        return;
    m_cancelled = true;
    m_waiting.clear();
    for (const auto& w : m_workers)
        w->cancel.request();
    if (m_workers.empty()) {
        m_running = false;
        emit finished();
    }
}

bool SurveyRunner::isRunning() const {
    return m_running;
}

QList<SurveyResult> SurveyRunner::results() const {
    QList<SurveyResult> done;
    for (const auto& r : m_results)
        if (r)
            done << *r;
    return done;
}

} // namespace nodalyx
