#include "ui/core/Layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

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
        for (std::string_view name : window->tabOrder)
            EXPECT_NE(findControl(*window, name), nullptr) << name;
    }
    // The field boxes stand in four rows of five.
    for (const auto& [name, left, top] :
         {std::tuple{"chkField5", 120, 480}, {"chkField19", 4920, 960}}) {
        const ControlSpec* box = findControl(settingsDialogSpec(), name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(std::pair(box->place.left, box->place.top), std::pair(left, top)) << name;
    }
}

// Places round to the nearest pixel; a system size (an icon's) scales from the DPI the system
// gives it at, so that at 150 % it is not scaled twice; the version label has no two-digit minor
// and no blanks.
TEST(Layout, TwipsRoundAndTheAboutTextsRead) {
    EXPECT_EQ(twipsToPixels(1212, 96), 81);
    EXPECT_EQ(twipsToPixels(1212, 144), 121);
    EXPECT_EQ(rescaledPixels(32, 96, 144), 48);
    EXPECT_EQ(rescaledPixels(48, 144, 144), 48);
    EXPECT_EQ(rescaledPixels(48, 144, 120), 40);
    EXPECT_EQ(versionLabel(10, 4, 0), "Ver.10.4.0");
    EXPECT_EQ(aboutTexts().caption, "Karune_modemのﾊﾞｰｼﾞｮﾝ情報");
}

}  // namespace
}  // namespace karune::ui
