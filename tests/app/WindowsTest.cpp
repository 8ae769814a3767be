// The program's windows as a whole: each names its controls for screen readers, a label's access
// key leads to its box, and the address boxes take whole addresses.
#include "AppFixture.h"
#include "FrmConfiguration.h"
#include "FrmNewLocation.h"
#include "FrmUnitConfiguration.h"
#include "FrmUpload.h"
#include "WindowChecks.h"

#include <QClipboard>
#include <QComboBox>
#include <QSignalSpy>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct Windows : AppFixture {
    void SetUp() override {
        state.ServiceMode = true; // the "PCB test" tab too
        main = startOnSite();
    }
    // Each window of the program with its name.
    std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> windows() {
        std::vector<std::pair<const char*, std::unique_ptr<QWidget>>> all;
        auto editor = std::make_unique<FrmUnitConfiguration>(state, op, "Site");
        editor->setInputs("2", "3");
        all.emplace_back("FrmUnitConfiguration", std::move(editor));
        all.emplace_back("FrmNewLocation", std::make_unique<FrmNewLocation>(state, op));
        all.emplace_back("FrmConfiguration",
                         std::make_unique<FrmConfiguration>(state, *main->link(), op));
        all.emplace_back("FrmUpload", std::make_unique<FrmUpload>(state, *main->link(), op));
        return all;
    }
    std::unique_ptr<FrmMain> main;
};

} // namespace

TEST_F(Windows, EveryControlHasANameOfItsOwn) {
    EXPECT_EQ(accessibleNameProblems(*main), QStringList()) << "FrmMain";
    EXPECT_GE(interactiveControls(*main).size(), 10);
    for (auto& [name, window] : windows()) {
        EXPECT_EQ(accessibleNameProblems(*window), QStringList()) << name;
        EXPECT_GE(interactiveControls(*window).size(), 7) << name;
    }
}

TEST_F(Windows, ALabelsAccessKeyLeadsToItsBox) {
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    QTest::keyClick(main.get(), Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), child<QComboBox>(*main, "CboLocation"));
    FrmConfiguration window(state, *main->link(), op);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(window, "txtSubnetmask0"));
}

// Each address of the configuration window takes a pasted address (typing is the address boxes'
// own test, in the new-location window); the pasted parts count as the operator's edits.
TEST_F(Windows, ConfigurationAddressesTakeAPastedAddress) {
    FrmConfiguration window(state, *main->link(), op);
    const auto texts = [&](const QString& prefix, const std::array<int, 4>& indexes) {
        QStringList all;
        for (int i : indexes)
            all << child<QLineEdit>(window, qPrintable(prefix + QString::number(i)))->text();
        return all;
    };
    const std::tuple<const char*, std::array<int, 4>> addresses[] = {
        {"txtIPaddress", {7, 6, 5, 4}},
        {"txtIPaddress", {0, 1, 2, 3}},
        {"txtSubnetmask", {0, 1, 2, 3}},
        {"txtGateway", {0, 1, 2, 3}}};
    QApplication::clipboard()->setText("255.255.240.0");
    for (const auto& [prefix, indexes] : addresses) {
        SCOPED_TRACE(prefix + std::to_string(indexes[0]));
        auto* second = child<QLineEdit>(window, qPrintable(prefix + QString::number(indexes[1])));
        QSignalSpy edited(second, &QLineEdit::textEdited);
        QTest::keySequence(
            child<QLineEdit>(window, qPrintable(prefix + QString::number(indexes[0]))),
            QKeySequence::Paste);
        EXPECT_EQ(texts(prefix, indexes), QStringList({"255", "255", "240", "0"}));
        EXPECT_EQ(edited.count(), 1);
    }
    // The DHCP address is the logger's: read-only, a paste changes nothing.
    QTest::keySequence(child<QLineEdit>(window, "txtDHCP0"), QKeySequence::Paste);
    EXPECT_EQ(texts("txtDHCP", {0, 1, 2, 3}), QStringList({"", "", "", ""}));
}
