// The address boxes of the configuration window, pasted as whole addresses.
#include "AppFixture.h"

#include "FrmConfiguration.h"

#include <QClipboard>
#include <QSignalSpy>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct ConfigurationAddresses : AppFixture {
    void SetUp() override {
        writeLocation("Site");
        main = startWindow();
        main->selectLocation("Site");
        window = std::make_unique<FrmConfiguration>(state, *main->link(), op);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QStringList texts(const QString& prefix, const std::array<int, 4>& indexes) const {
        QStringList all;
        for (int i : indexes)
            all << child<QLineEdit>(*window, qPrintable(prefix + QString::number(i)))->text();
        return all;
    }
    std::unique_ptr<FrmMain> main;
    std::unique_ptr<FrmConfiguration> window;
};

} // namespace

// Each of the window's addresses takes a pasted address (typing is the address boxes' own test,
// in the new-location window); the pasted parts count as the operator's edits.
TEST_F(ConfigurationAddresses, EachAddressTakesAPastedAddress) {
    const std::tuple<const char*, std::array<int, 4>> addresses[] = {
        {"txtIPaddress", {7, 6, 5, 4}},
        {"txtIPaddress", {0, 1, 2, 3}},
        {"txtSubnetmask", {0, 1, 2, 3}},
        {"txtGateway", {0, 1, 2, 3}}};
    QApplication::clipboard()->setText("255.255.240.0");
    for (const auto& [prefix, indexes] : addresses) {
        SCOPED_TRACE(prefix + std::to_string(indexes[0]));
        auto* first = child<QLineEdit>(*window, qPrintable(prefix + QString::number(indexes[0])));
        auto* second = child<QLineEdit>(*window, qPrintable(prefix + QString::number(indexes[1])));
        QSignalSpy edited(second, &QLineEdit::textEdited);
        QTest::keySequence(first, QKeySequence::Paste);
        EXPECT_EQ(texts(prefix, indexes), QStringList({"255", "255", "240", "0"}));
        EXPECT_EQ(edited.count(), 1);
    }
    // The DHCP address is the logger's: read-only, a paste changes nothing.
    QTest::keySequence(child<QLineEdit>(*window, "txtDHCP0"), QKeySequence::Paste);
    EXPECT_EQ(texts("txtDHCP", {0, 1, 2, 3}), QStringList({"", "", "", ""}));
}
