#include "FrmCommLog.h"

#include "TrafficLogBuffer.h"
#include "WindowPlacement.h"

#include "ui_FrmCommLog.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QPushButton>

namespace nodalyx {

namespace {

QString chooseLogFile(QWidget* parent) {
    return QFileDialog::getSaveFileName(parent, FrmCommLog::tr("Save the communication log"),
                                        QStringLiteral("communication-log.txt"),
                                        FrmCommLog::tr("Text files (*.txt);;All files (*)"));
}

} // namespace

FrmCommLog::FrmCommLog(TrafficLogBuffer& log, Operator& op, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FrmCommLog>()), m_log(log), m_op(op),
      m_chooseFile(chooseLogFile) {
    m_ui->setupUi(this);
    m_ui->txtLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_ui->txtLog->setMaximumBlockCount(m_log.capacity());
    m_batch.setInterval(kBatchMs);
    connect(&m_batch, &QTimer::timeout, this, &FrmCommLog::catchUp);
    connect(m_ui->CmdPause, &QPushButton::clicked, this, &FrmCommLog::togglePause);
    connect(m_ui->CmdClear, &QPushButton::clicked, this, &FrmCommLog::clearLog);
    connect(m_ui->CmdSave, &QPushButton::clicked, this, &FrmCommLog::saveLog);
    connect(m_ui->CmdClose, &QPushButton::clicked, this, &QDialog::close);
    placeWindow(this);
}

FrmCommLog::~FrmCommLog() = default;

void FrmCommLog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    catchUp();
    m_batch.start();
}

void FrmCommLog::hideEvent(QHideEvent* event) {
    m_batch.stop();
    QDialog::hideEvent(event);
}

void FrmCommLog::catchUp() {
    if (!m_log.paused()) {
        if (m_log.appended() < m_shown) { // the buffer was cleared meanwhile
            m_ui->txtLog->clear();
            m_shown = 0;
        }
        const QStringList fresh = m_log.linesAfter(m_shown);
        m_shown = m_log.appended();
        if (!fresh.isEmpty())
            appendLines(fresh);
    }
    showStatus();
}

void FrmCommLog::appendLines(const QStringList& lines) {
    if (lines.size() >= m_log.capacity())
        m_ui->txtLog->setPlainText(lines.join(QLatin1Char('\n'))); // everything shown is gone
    else
        m_ui->txtLog->appendPlainText(lines.join(QLatin1Char('\n')));
}

void FrmCommLog::showStatus() {
    if (m_log.paused())
        m_ui->lblStatus->setText(tr("Paused: %1 new lines since").arg(m_log.heldBack()));
    else
        m_ui->lblStatus->setText(tr("%1 lines").arg(m_log.size()));
}

void FrmCommLog::togglePause() {
    m_log.setPaused(!m_log.paused());
    m_ui->CmdPause->setText(m_log.paused() ? tr("&Resume") : tr("&Pause"));
    catchUp();
}

void FrmCommLog::clearLog() {
    m_log.clear();
    m_ui->txtLog->clear();
    m_shown = 0;
    showStatus();
}

void FrmCommLog::saveLog() {
    const QString path = m_chooseFile(this);
    if (path.isEmpty())
        return;
    QString error;
    if (!m_log.save(path, &error))
        m_op.message(tr("The communication log could not be saved: %1").arg(error),
                     Operator::Icon::Critical);
}

} // namespace nodalyx
