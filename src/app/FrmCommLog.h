#pragma once

#include "Operator.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

namespace Ui {
class FrmCommLog;
}

namespace nodalyx {

class TrafficLogBuffer;

// "Communication log": the lines of a TrafficLogBuffer (every frame and packet sent and
// received, src/link/TrafficLog.h) in a read-only view, modeless. New lines are taken in
// batches every 100 ms, so a busy link never holds up the window. "Pause" stops the view (the
// buffer goes on recording; the status says how many lines came since, and "Resume" shows
// them), "Clear" empties buffer and view, "Save..." writes the buffer as a text file.
class FrmCommLog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kBatchMs = 100;

    FrmCommLog(TrafficLogBuffer& log, Operator& op, QWidget* parent = nullptr);
    ~FrmCommLog() override;

    // Asks for the file "Save..." writes; an empty answer saves nothing. By default a file
    // dialog; tests put a function here that answers a path.
    using FileChooser = std::function<QString(QWidget* parent)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // Shows the lines that came since the last batch (what the timer does).
    void catchUp();
    void togglePause();
    void clearLog();
    void saveLog();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void appendLines(const QStringList& lines);
    void showStatus();

    std::unique_ptr<Ui::FrmCommLog> m_ui;
    TrafficLogBuffer& m_log;
    Operator& m_op;
    QTimer m_batch;
    qint64 m_shown = 0; // lines of the buffer's count that the view has taken
    FileChooser m_chooseFile;
};

} // namespace nodalyx
