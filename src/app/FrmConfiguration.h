#pragma once

#include "HeldDelete.h"

#include "Cancellation.h"
#include "ConfigurationControls.h"
#include "GeneralSettings.h"
#include "LoggerClock.h"
#include "Operator.h"
#include "PortProbe.h"
#include "SharedState.h"

#include "TransferContext.h"
#include <QDateTime>

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class FrmConfiguration;
}

namespace nodalyx {

class ConfigurationView;
class Link;
struct GeneralReadout;

// The configuration window: the selected location's general settings, how the tool reaches
// the logger and what the logger holds. "Save" copies the controls into the shared settings
// and closes with Gewijzigd() true (the main window writes the location file); "Close", Escape
// and the close box change nothing. "Start Download" reads the logger's settings into the
// controls and marks what differs from the location; "Set Date/Time" sets the logger's clock
// from the PC. While the window talks to the logger every control but "Cancel" is disabled and
// it cannot be closed; "Cancel" (or Escape) stops the run after the exchange under way. After
// each downloaded highway file a line under the download boxes says what became of it.
class FrmConfiguration : public QDialog {
    Q_OBJECT
public:
    FrmConfiguration(SharedState& state, Link& link, Operator& op, QWidget* parent = nullptr);
    ~FrmConfiguration() override;

    bool Gewijzigd() const { return m_gewijzigd; }
    bool isExchanging() const { return m_exchanging; }
    // The PC's clock for "Set Date/Time" and the clock comparison (the local time by default).
    void setClock(std::function<QDateTime()> clock) { m_now = std::move(clock); }
    // The run's one transfer component (the main window's); without it the window makes its
    // own on first use.
    void setTransfers(SharedTransferLink* transfers) { m_transfers = transfers; }

    // Picks one of the answers "Find" offers when not exactly one port answered with the
    // location's logger: its index, or nothing (cancelled). A dialog unless set (tests).
    using AnswerChooser = std::function<std::optional<int>(const QList<ProbeAnswer>& answers)>;
    void setAnswerChooser(AnswerChooser chooser) { m_chooseAnswer = std::move(chooser); }

    void startDownload();
    // "Find": asks each serial port for the logger's serial number and selects the port of
    // the location's logger in "Comm port" (or offers what answered).
    void findPort();
    void setDate();
    void save();
    // The operator's stop request for the run under way (nothing when none runs).
    void cancel();

public slots:
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // False when the logger could not be reached or the operator cancelled.
    bool readGeneralSettings();
    void downloadHighwayFiles();
    void addResultLine(const QString& line);
    void showClockDrift(const std::optional<LoggerClock>& clock, const QDateTime& readAt);
    void setExchanging(bool exchanging);
    void takeProbeAnswers(const QList<ProbeAnswer>& answers, int portsAsked, bool cancelled);

    std::unique_ptr<Ui::FrmConfiguration> m_ui;
    std::unique_ptr<ConfigurationView> m_view;
    SharedState& m_state;
    Link& m_link;
    Operator& m_op;
    GeneralSettings m_location; // what the location held when the window opened
    BoxKeys m_kept;             // boxes that do not show their field whole
    std::function<QDateTime()> m_now;
    AnswerChooser m_chooseAnswer;
    SharedTransferLink* m_transfers = nullptr;
    std::unique_ptr<SharedTransferLink> m_ownTransfers;
    Cancellation m_cancel;
    bool m_gewijzigd = false;
    bool m_exchanging = false;
    HeldDelete m_heldDelete{this};
};

} // namespace nodalyx
