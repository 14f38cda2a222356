#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/about/AboutBox.h"
#include "ui/about/ProgramInfo.h"

namespace karune::ui::test {
namespace {

class AboutBoxTest : public UiTest {
protected:
    AboutBoxTest() { mainWindow.show(); }
    AboutBox& open() {
        box = new AboutBox(&mainWindow);
        QObject::connect(box, &QObject::destroyed, [this] { box = nullptr; });
        box->show();
        return *box;
    }
    QWidget mainWindow;
    AboutBox* box = nullptr;  // null once the box is deleted
};

TEST_F(AboutBoxTest, ShowsTitleVersionAndCompany) {
    open();
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Karune_modemのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(box->titleText(), QStringLiteral("Karune_modem"));
    EXPECT_EQ(box->versionText(), QStringLiteral("Ver.3.4.0"));
    EXPECT_FALSE(box->companyText().isEmpty());
    EXPECT_FALSE(mainWindow.isEnabled());
}

TEST(VersionLabel, PlainDecimalsWithoutPaddingOrBlanks) {
    const struct {
        int major, minor, patch;
        QString expected;
    } cases[] = {{3, 4, 0, "Ver.3.4.0"}, {3, 10, 2, "Ver.3.10.2"}, {12, 0, 7, "Ver.12.0.7"}};
    for (const auto& c : cases) {
        EXPECT_EQ(versionLabel(c.major, c.minor, c.patch), c.expected);
    }
}

TEST_F(AboutBoxTest, EveryWayOutEnablesTheMainWindowAndDeletesTheBox) {
    const struct {
        const char* how;
        std::function<void(AboutBox&)> close;
    } routes[] = {
        {"Esc", [](AboutBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }},
        {"Enter", [](AboutBox& b) { QTest::keyClick(&b, Qt::Key_Return); }},
        {"OK",
         [](AboutBox& b) {
             QTest::mouseClick(b.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
         }},
        {"close box", [](AboutBox& b) { b.close(); }},
    };
    for (const auto& r : routes) {
        mainWindow.hide();
        open();
        ASSERT_FALSE(mainWindow.isEnabled()) << r.how;
        r.close(*box);
        settle();
        EXPECT_TRUE(mainWindow.isEnabled()) << r.how;
        EXPECT_TRUE(mainWindow.isVisible()) << r.how;
        EXPECT_EQ(box, nullptr) << r.how;
    }
}

}  // namespace
}  // namespace karune::ui::test
