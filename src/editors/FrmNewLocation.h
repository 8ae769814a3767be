#pragma once

#include "NewLocation.h"
#include "Operator.h"
#include "SharedState.h"

#include <QDialog>
#include <array>
#include <memory>

class QLineEdit;

namespace Ui {
class FrmNewLocation;
}

namespace nodalyx {

class PortBox;

// The new-location window: a name and how the logger is reached. "Save" writes the location
// file, its folder and two highway files of default units, and leaves the new location
// loaded in the shared state; NewName then names it. "Back" leaves NewName empty.
class FrmNewLocation : public QDialog {
    Q_OBJECT
public:
    FrmNewLocation(SharedState& state, Operator& op, QWidget* parent = nullptr);
    ~FrmNewLocation() override;

    QString NewName() const { return m_newName; }
    // What the controls say, as the store takes it.
    NewLocationRequest request() const;

private:
    void save();
    void back();
    QString ipNumber() const;

    std::unique_ptr<Ui::FrmNewLocation> m_ui;
    SharedState& m_state;
    Operator& m_op;
    QString m_newName;
    std::array<QLineEdit*, 4> m_txtIPaddress{}; // left to right: boxes 7, 6, 5, 4
    std::unique_ptr<PortBox> m_portBox;
};

} // namespace nodalyx
