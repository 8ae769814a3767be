// Every window names each control for screen readers and gives access keys that do not clash.
#include "AppFixture.h"
#include "FrmConfiguration.h"
#include "FrmNewLocation.h"
#include "FrmUnitConfiguration.h"
#include "FrmUpload.h"
#include "WindowChecks.h"

#include <QComboBox>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct Windows : AppFixture {
    void SetUp() override {
        writeSite();
        state.ServiceMode = true; // the "PCB test" tab too
        main = startWindow();
        main->selectLocation("Site");
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

// A label names its box: its access key puts the focus there.
TEST_F(Windows, AccessKeysAreUniqueAndLabelsLeadToTheirBoxes) {
    EXPECT_EQ(accessKeyProblems(*main, {"CmdNew", "CmdRefresh", "CmdClose", "OptHW0", "OptHW1"}),
              QStringList());
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    QTest::keyClick(main.get(), Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), child<QComboBox>(*main, "CboLocation"));
    FrmUpload upload(state, *main->link(), op);
    EXPECT_EQ(accessKeyProblems(upload, {"CmdUpload", "CmdCancel", "CmdCopy", "CmdClose",
                                         "ChkGeneralSettings", "ChkHW1", "ChkHW2", "ChkVerify"}),
              QStringList());
    FrmConfiguration window(state, *main->link(), op);
    EXPECT_EQ(accessKeyProblems(window, {"CmdLogger", "CmdDate", "CmdSave", "CmdClose",
                                         "ChkGeneral", "ChkHW01", "ChkHW02"}),
              QStringList());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(window, "txtSubnetmask0"));
}
