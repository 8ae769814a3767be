#pragma once

#include "Operator.h"
#include "SharedState.h"

#include <QDialog>
#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace Ui {
class FrmUnitConfiguration;
}

namespace nodalyx {

// The unit editor: one unit of one highway of the selected location. The opener sets the
// highway ("1" or "2") and the table index ("1".."64") with setInputs; "Save" stores the
// controls into the unit table and rewrites the location's highway file.
class FrmUnitConfiguration : public QDialog {
    Q_OBJECT
public:
    // location: the name the main window's location list shows (the highway file's folder).
    FrmUnitConfiguration(SharedState& state, Operator& op, const QString& location,
                         QWidget* parent = nullptr);
    ~FrmUnitConfiguration() override;

    // Fills txtHW and txtID, then shows that unit (or a fresh one when id is empty).
    void setInputs(const QString& hw, const QString& id);

    // Stores the controls into the table and rewrites the highway file. False (reported
    // through the operator) when the unit code or a correction is unusable or the file could
    // not be written; then the modified flag stays set.
    bool SetData();
    bool Gewijzigd() const { return m_gewijzigd; }

public slots:
    void reject() override; // "Close", Escape and the frame close: asks about unsaved edits

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void collectControls();
    void fillLists();
    void connectEdits();
    void showUnit();
    void showFreshUnit();
    void selectType(int k);
    void applyTypeRule(int k);
    void clearAll();
    void save();
    bool validate();
    bool refuse(QWidget* box, const QString& why);
    bool validateCode();
    bool validateText(int channelIndex);
    UnitTable* chosenTable();
    std::optional<int> chosenIndex() const;
    void markModified() { m_gewijzigd = true; }

    std::unique_ptr<Ui::FrmUnitConfiguration> m_ui;
    SharedState& m_state;
    Operator& m_op;
    QString m_location;
    bool m_gewijzigd = false;

    std::array<QRadioButton*, 3> m_optType{};
    std::array<QLineEdit*, 3> m_txtCode{};
    std::array<QComboBox*, 4> m_cboColumn{};
    std::array<QComboBox*, 4> m_cboEwidth{};
    std::array<QLineEdit*, 4> m_txtOnaam{};
    std::array<QLineEdit*, 4> m_txtCor{};
    std::array<QLineEdit*, 4> m_txtFrom{};
    std::array<QLineEdit*, 4> m_txtTo{};
};

} // namespace nodalyx
