#include "ui/core/Layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/core/AboutTexts.h"

namespace karune::ui {
namespace {

// Every control has a name of its own, stands inside its frame or the client area, and comes after
// its frame; the tab order names existing controls.
TEST(Layout, EveryControlStandsInsideItsFrameOrWindow) {
    for (const WindowSpec* window :
         {&mainWindowSpec(), &settingsDialogSpec(), &folderChooserSpec(), &aboutBoxSpec()}) {
        SCOPED_TRACE(std::string(window->name));
        std::set<std::string_view> seen;
        for (const ControlSpec& control : window->controls) {
            SCOPED_TRACE(std::string(control.name));
            EXPECT_TRUE(seen.insert(control.name).second) << "named twice";
            int width = window->clientWidth;
            int height = window->clientHeight;
            if (!control.parent.empty()) {
                ASSERT_TRUE(seen.contains(control.parent)) << "frame missing or after it";
                const ControlSpec* frame = findControl(*window, control.parent);
                EXPECT_EQ(frame->kind, ControlKind::Frame);
                width = frame->place.width;
                height = frame->place.height;
            }
            EXPECT_GE(control.place.left, 0);
            EXPECT_GE(control.place.top, 0);
            EXPECT_LE(control.place.left + control.place.width, width);
            EXPECT_LE(control.place.top + control.place.height, height);
        }
        for (std::string_view name : window->tabOrder) {
            EXPECT_NE(findControl(*window, name), nullptr) << name;
        }
    }
    EXPECT_EQ(findControl(mainWindowSpec(), "none"), nullptr);
    // The field boxes stand in four rows of five.
    const std::pair<const char*, TwipsRect> fields[] = {{"chkField5", {120, 480, 732, 252}},
                                                        {"chkField19", {4920, 960, 732, 252}}};
    for (const auto& [name, place] : fields) {
        const ControlSpec* box = findControl(settingsDialogSpec(), name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->place.left, place.left) << name;
        EXPECT_EQ(box->place.top, place.top) << name;
    }
    EXPECT_EQ(findControl(settingsDialogSpec(), "chkField19")->caption, "F20");
}

TEST(Layout, TwipsRoundToTheNearestPixel) {
    EXPECT_EQ(twipsToPixels(1212, 96), 81);
    EXPECT_EQ(twipsToPixels(1200, 96), 80);
    EXPECT_EQ(twipsToPixels(1212, 144), 121);
}

// The minor number is not written with two digits as in the version resource, and no blank
// stands before a number.
TEST(AboutTexts, VersionLabelAndCaption) {
    EXPECT_EQ(versionLabel(3, 4, 0), "Ver.3.4.0");
    EXPECT_EQ(versionLabel(10, 12, 7), "Ver.10.12.7");
    const AboutTexts texts = aboutTexts();
    EXPECT_EQ(texts.caption, texts.title + "のﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(texts.title, "Karune_modem");
}

}  // namespace
}  // namespace karune::ui
