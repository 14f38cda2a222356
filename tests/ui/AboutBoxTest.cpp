#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/about/AboutBox.h"
#include "ui/about/Artwork.h"
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
    EXPECT_EQ(box->size(), QSize(299, 145));
    const auto* banner = child<QLabel>(*box, "Image1");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->geometry(), QRect(8, 88, 281, 52));
    EXPECT_EQ(banner->pixmap().size(), QSize(802, 172));
    EXPECT_TRUE(banner->hasScaledContents());
    EXPECT_EQ(child<QLabel>(*box, "picIcon")->pixmap().size(), QSize(32, 32));
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

TEST(Artwork, IconAndBannerHaveTheirSizesAndAreDrawn) {
    qtApp();
    const QImage icon = programIcon().toImage();
    const QImage banner = programBanner().toImage();
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(banner.size(), QSize(802, 172));
    EXPECT_NE(icon.pixelColor(16, 16), icon.pixelColor(0, 0)) << "the icon is not blank";
    EXPECT_NE(banner.pixelColor(80, 40), banner.pixelColor(400, 5)) << "the banner is not blank";
}

}  // namespace
}  // namespace karune::ui::test
