#include "FrmPortAnswers.h"

#include "PortChoice.h"
#include "WindowPlacement.h"

#include "ui_FrmPortAnswers.h"

#include <QPushButton>

namespace nodalyx {

FrmPortAnswers::FrmPortAnswers(const QList<ProbeAnswer>& answers, const QString& heading,
                               QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FrmPortAnswers>()) {
    m_ui->setupUi(this);
    m_ui->lblAnswers->setText(heading);
    for (const ProbeAnswer& answer : answers)
        m_ui->LsvAnswers->addItem(answerText(answer));
    m_ui->LsvAnswers->setCurrentRow(0);
    QPushButton* ok = m_ui->CmdButtons->button(QDialogButtonBox::Ok);
    ok->setEnabled(!answers.isEmpty());
    connect(m_ui->CmdButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_ui->CmdButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_ui->LsvAnswers, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    adjustSize();
    placeWindow(this);
}

FrmPortAnswers::~FrmPortAnswers() = default;

std::optional<int> FrmPortAnswers::choose(const QList<ProbeAnswer>& answers, const QString& heading,
                                          QWidget* parent) {
    FrmPortAnswers dialog(answers, heading, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.m_ui->LsvAnswers->currentRow() < 0)
        return std::nullopt;
    return dialog.m_ui->LsvAnswers->currentRow();
}

} // namespace nodalyx
