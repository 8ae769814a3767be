#include "FrmUpload.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace nodalyx {

namespace {

QProgressBar* hiddenBar(const QString& name) {
    auto* bar = new QProgressBar;
    bar->setObjectName(name);
    bar->hide();
    return bar;
}

} // namespace

FrmUpload::FrmUpload(SharedState& state, Link& link, Operator& op, QWidget* parent)
    : QDialog(parent), m_state(state), m_link(link), m_op(op) {
    setObjectName(QStringLiteral("FrmUpload"));
    setWindowTitle(QStringLiteral("Upload configuratie"));
    m_general = new QCheckBox(QStringLiteral("General settings"));
    m_general->setObjectName(QStringLiteral("ChkGeneralSettings"));
    m_result = new QPlainTextEdit;
    m_result->setObjectName(QStringLiteral("txtResult"));
    m_result->setReadOnly(true);
    auto* highways = new QGroupBox(QStringLiteral("Highway settings"));
    auto* grid = new QGridLayout(highways);
    m_hw1 = new QCheckBox(QStringLiteral("Highway 1:"));
    m_hw1->setObjectName(QStringLiteral("ChkHW1"));
    m_hw2 = new QCheckBox(QStringLiteral("Highway 2:"));
    m_hw2->setObjectName(QStringLiteral("ChkHW2"));
    m_pgb1 = hiddenBar(QStringLiteral("PgbHW01"));
    m_pgb2 = hiddenBar(QStringLiteral("PgbHW02"));
    grid->addWidget(m_hw1, 0, 0);
    grid->addWidget(m_pgb1, 0, 1);
    grid->addWidget(m_hw2, 1, 0);
    grid->addWidget(m_pgb2, 1, 1);
    m_upload = new QPushButton(QStringLiteral("Upload"));
    m_upload->setObjectName(QStringLiteral("CmdUpload"));
    m_copy = new QPushButton(QStringLiteral("Copy report"));
    m_copy->setObjectName(QStringLiteral("CmdCopy"));
    m_close = new QPushButton(QStringLiteral("Close"));
    m_close->setObjectName(QStringLiteral("CmdClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_upload);
    buttons->addWidget(m_copy);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_general);
    layout->addWidget(m_result);
    layout->addWidget(highways);
    layout->addLayout(buttons);
    resize(460, 420);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
    connect(m_upload, &QPushButton::clicked, this, &FrmUpload::upload);
    connect(m_close, &QPushButton::clicked, this, &FrmUpload::reject);
    connect(m_copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_report); });
}

void FrmUpload::appendLine(const QString& line) {
    m_report += line + QStringLiteral("\r\n");
    m_result->appendPlainText(line);
}

void FrmUpload::setRunning(bool running) {
    m_running = running;
    for (QWidget* w : {static_cast<QWidget*>(m_upload), static_cast<QWidget*>(m_close),
                       static_cast<QWidget*>(m_copy), static_cast<QWidget*>(m_general),
                       static_cast<QWidget*>(m_hw1), static_cast<QWidget*>(m_hw2)})
        w->setEnabled(!running);
}

void FrmUpload::upload() {
    if (m_running)
        return;
    m_result->clear();
    m_report.clear();
    setRunning(true);
    const UploadChoice choice{m_general->isChecked(), m_hw1->isChecked(), m_hw2->isChecked()};
    const UploadOutcome out =
        UploadConfiguration(m_state, m_link, m_op, choice, m_highway,
                            [this](const QString& line) { appendLine(line); });
    setRunning(false);
    if (!out.finalMessage.isEmpty())
        m_op.message(out.finalMessage);
}

// While a run is in its waits the window stays open.
void FrmUpload::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void FrmUpload::reject() {
    if (!m_running)
        QDialog::reject();
}

} // namespace nodalyx
