#include "ui/core/Layout.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "config/Settings.h"

namespace karune::ui {

namespace {

using K = ControlKind;

constexpr std::uint32_t kRedBgr = 0x000000FF;
constexpr std::uint32_t kCyanBgr = 0x00FFFF00;
constexpr std::uint32_t kWhiteBgr = 0x00FFFFFF;
constexpr std::uint32_t kGreyBgr = 0x00808080;

constexpr std::array kMainControls{
    ControlSpec{.name = "Label2",
                .kind = K::FramedLabel,
                .caption = "ﾌｧｲﾙ名",
                .place = {120, 120, 1212, 252}},
    ControlSpec{.name = "lblFile", .kind = K::FramedLabel, .place = {1440, 120, 7335, 255}},
    ControlSpec{.name = "Label1",
                .kind = K::FramedLabel,
                .caption = "保存ﾌｫﾙﾀﾞ",
                .place = {120, 480, 1212, 252}},
    ControlSpec{.name = "lblFolder", .kind = K::FramedLabel, .place = {1440, 480, 7335, 255}},
    ControlSpec{.name = "Label4",
                .kind = K::FramedLabel,
                .caption = "ｽﾃｰﾀｽ",
                .place = {120, 840, 1212, 252}},
    ControlSpec{.name = "lblStatus",
                .kind = K::FramedLabel,
                .place = {1440, 840, 7335, 975},
                .multiLine = true},
    ControlSpec{.name = "Label5",
                .kind = K::FramedLabel,
                .caption = "ｴﾗｰﾒｯｾｰｼﾞ",
                .place = {120, 1920, 1215, 255}},
    ControlSpec{.name = "lblErr",
                .kind = K::FramedLabel,
                .place = {1440, 1920, 7335, 975},
                .multiLine = true},
    ControlSpec{.name = "Progbar", .kind = K::ProgressBar, .place = {120, 3000, 8655, 375}},
    ControlSpec{.name = "lblStart",
                .kind = K::FramedLabel,
                .place = {120, 3480, 2295, 255},
                .align = Align::Centre},
    // The arrows point at the start and end times on either side.
    ControlSpec{.name = "Label3",
                .kind = K::Label,
                .caption = "←通信開始時刻                 通信終了時刻→",
                .place = {2520, 3480, 3855, 255},
                .colourBgr = kRedBgr,
                .align = Align::Centre},
    ControlSpec{.name = "lblStop",
                .kind = K::FramedLabel,
                .place = {6480, 3480, 2295, 255},
                .align = Align::Centre},
    ControlSpec{.name = "cmdComm0",
                .kind = K::Button,
                .caption = "通信ｽﾀｰﾄ",
                .place = {120, 3840, 1212, 492}},
    ControlSpec{.name = "cmdComm1",
                .kind = K::Button,
                .caption = "通信ｽﾄｯﾌﾟ",
                .place = {120, 4440, 1212, 492}},
    ControlSpec{.name = "Status0",
                .kind = K::Lamp,
                .place = {1440, 3840, 5895, 1095},
                .colourBgr = kRedBgr},
    ControlSpec{.name = "Status1",
                .kind = K::Lamp,
                .place = {1440, 3840, 5895, 1095},
                .colourBgr = kCyanBgr},
    ControlSpec{.name = "cmdSetting",
                .kind = K::Button,
                .caption = "設定",
                .place = {7440, 3840, 1332, 492}},
    ControlSpec{.name = "cmdInfo",
                .kind = K::Button,
                .caption = "ﾊﾞｰｼﾞｮﾝ",
                .place = {7440, 4440, 1332, 492}},
};
constexpr std::array<std::string_view, 4> kMainTabOrder{"cmdComm0", "cmdComm1", "cmdSetting",
                                                        "cmdInfo"};

// The two-way groups put their options at 120 and 1560 twips across (1440 in the checksum frame).
constexpr TwipsRect pairPlace(int index, int secondLeft = 1560) {
    return {index == 0 ? 120 : secondLeft, 240, 1215, 300};
}
constexpr TwipsRect addDatePlace(int index) {
    return {120, 360 + 360 * index, index == 4 ? 3975 : 3615, 372};
}

constexpr std::string_view kFixFnameHint =
    "保存したいﾌｧｲﾙ名(拡張子はTXT固定、指定不要)を指定してください";

constexpr std::array kSettingsControlsBeforeFields{
    ControlSpec{.name = "fraPort",
                .kind = K::Frame,
                .caption = "ﾎﾟｰﾄ",
                .place = {120, 120, 4575, 615},
                .hint = "COMﾎﾟｰﾄ番号を選択してください"},
    ControlSpec{.name = "txtPort",
                .kind = K::TextBox,
                .caption = "1",
                .place = {120, 240, 615, 270},
                .parent = "fraPort",
                .readOnly = true},
    ControlSpec{.name = "hsPort",
                .kind = K::ScrollBar,
                .place = {840, 240, 3495, 255},
                .parent = "fraPort"},
    ControlSpec{.name = "fraFixFname",
                .kind = K::Frame,
                .caption = "保存ﾌｧｲﾙ名",
                .place = {120, 840, 4575, 735},
                .hint = kFixFnameHint},
    ControlSpec{.name = "txtFixFname",
                .kind = K::TextBox,
                .place = {120, 360, 4335, 270},
                .parent = "fraFixFname",
                .hint = kFixFnameHint},
    ControlSpec{.name = "fraAddDate",
                .kind = K::Frame,
                .caption = "日付・時刻付加",
                .place = {4800, 120, 4215, 2295},
                .hint = "日付・時刻の付加方法を指定してください"},
    ControlSpec{.name = "optAddDate0",
                .kind = K::Option,
                .caption = "日付・時刻なし",
                .place = addDatePlace(0),
                .parent = "fraAddDate"},
    ControlSpec{.name = "optAddDate1",
                .kind = K::Option,
                .caption = "ﾌｧｲﾙ名を日付(YYYYMMDD)にする",
                .place = addDatePlace(1),
                .parent = "fraAddDate"},
    ControlSpec{.name = "optAddDate2",
                .kind = K::Option,
                .caption = "ﾌｧｲﾙ名を日時(YYYYMMDDHHMM)にする",
                .place = addDatePlace(2),
                .parent = "fraAddDate"},
    ControlSpec{.name = "optAddDate3",
                .kind = K::Option,
                .caption = "ﾌｧｲﾙ名に日時(YYYYMMDD)を付加する",
                .place = addDatePlace(3),
                .parent = "fraAddDate"},
    ControlSpec{.name = "optAddDate4",
                .kind = K::Option,
                .caption = "ﾌｧｲﾙ名に日時(YYYYMMDDHHMM)を付加する",
                .place = addDatePlace(4),
                .parent = "fraAddDate"},
    ControlSpec{.name = "fraFolder",
                .kind = K::Frame,
                .caption = "保存ﾌｫﾙﾀﾞ",
                .place = {120, 2520, 8895, 612},
                .hint = "保存ﾌｫﾙﾀﾞを選択してください"},
    ControlSpec{.name = "lblFolder",
                .kind = K::FramedLabel,
                .place = {120, 240, 7215, 255},
                .parent = "fraFolder"},
    ControlSpec{.name = "cmdFolderRef",
                .kind = K::Button,
                .caption = "参照",
                .place = {7560, 240, 1092, 252},
                .parent = "fraFolder"},
    ControlSpec{.name = "fraField",
                .kind = K::Frame,
                .caption = "取り込みﾌｨｰﾙﾄﾞ選択",
                .place = {120, 3240, 5892, 1335},
                .hint = "取り込みたいﾌｨｰﾙﾄﾞをﾁｪｯｸしてください"},
};

constexpr std::array kSettingsControlsAfterFields{
    ControlSpec{.name = "fraOverWrite",
                .kind = K::Frame,
                .caption = "保存ﾓｰﾄﾞ",
                .place = {6120, 3240, 2892, 612},
                .hint = "保存ﾓｰﾄﾞを選択してください"},
    ControlSpec{.name = "optOverWrite0",
                .kind = K::Option,
                .caption = "追加ﾓｰﾄﾞ",
                .place = pairPlace(0),
                .parent = "fraOverWrite"},
    ControlSpec{.name = "optOverWrite1",
                .kind = K::Option,
                .caption = "上書ﾓｰﾄﾞ",
                .place = pairPlace(1),
                .parent = "fraOverWrite"},
    ControlSpec{.name = "fraStartUpSize",
                .kind = K::Frame,
                .caption = "ｽﾀｰﾄｻｲｽﾞ",
                .place = {6120, 3960, 2892, 612},
                .hint = "KARUNEを最小化して起動する場合は、｢ｱｲｺﾝ｣を選択してください"},
    ControlSpec{.name = "optStartUpSize0",
                .kind = K::Option,
                .caption = "ﾉｰﾏﾙ",
                .place = pairPlace(0),
                .parent = "fraStartUpSize"},
    ControlSpec{.name = "optStartUpSize1",
                .kind = K::Option,
                .caption = "ｱｲｺﾝ",
                .place = pairPlace(1),
                .parent = "fraStartUpSize"},
    ControlSpec{.name = "fraAutoStart",
                .kind = K::Frame,
                .caption = "ｵｰﾄｽﾀｰﾄ",
                .place = {120, 4680, 2892, 612},
                .hint = "KARUNE実行時、通信をｵｰﾄｽﾀｰﾄする場合は、「する」を選択してください"},
    ControlSpec{.name = "optAutoStart0",
                .kind = K::Option,
                .caption = "しない",
                .place = pairPlace(0),
                .parent = "fraAutoStart"},
    ControlSpec{.name = "optAutoStart1",
                .kind = K::Option,
                .caption = "する",
                .place = pairPlace(1),
                .parent = "fraAutoStart"},
    ControlSpec{.name = "fraCrcType",
                .kind = K::Frame,
                .caption = "CRCﾀｲﾌﾟ",
                .place = {3120, 4680, 2892, 612},
                .hint = "ﾁｪｯｸｻﾑの計算方法を選択してください（通常は、「ﾀｲﾌﾟ1」）"},
    ControlSpec{.name = "optCrcType0",
                .kind = K::Option,
                .caption = "ﾀｲﾌﾟ1",
                .place = pairPlace(0, 1440),
                .parent = "fraCrcType"},
    ControlSpec{.name = "optCrcType1",
                .kind = K::Option,
                .caption = "ﾀｲﾌﾟ2",
                .place = pairPlace(1, 1440),
                .parent = "fraCrcType"},
    ControlSpec{.name = "fraProtocol",
                .kind = K::Frame,
                .caption = "ﾌﾟﾛﾄｺﾙ",
                .place = {6120, 4680, 2895, 615},
                .hint = "通信ﾌﾟﾛﾄｺﾙを選択してください(通常は、｢専用｣)"},
    ControlSpec{.name = "optProtocol0",
                .kind = K::Option,
                .caption = "専用",
                .place = pairPlace(0),
                .parent = "fraProtocol"},
    ControlSpec{.name = "optProtocol1",
                .kind = K::Option,
                .caption = "ｼﾝﾌﾟﾙ",
                .place = pairPlace(1),
                .parent = "fraProtocol"},
    ControlSpec{.name = "chkTimeAdjust",
                .kind = K::CheckBox,
                .caption = "PCと日時を合わせる",
                .place = {120, 5400, 2775, 375}},
    ControlSpec{
        .name = "cmdOK0", .kind = K::Button, .caption = "OK", .place = {6120, 5400, 1455, 855}},
    ControlSpec{
        .name = "cmdOK1", .kind = K::Button, .caption = "ｷｬﾝｾﾙ", .place = {7680, 5400, 1335, 855}},
};

// The field check boxes "F1" to "F20" stand in four rows of five.
struct FieldBoxTexts {
    std::array<std::string, Settings::kFieldCount> names, captions;
    FieldBoxTexts() {
        for (int i = 0; i < Settings::kFieldCount; ++i) {
            names[static_cast<std::size_t>(i)] = "chkField" + std::to_string(i);
            captions[static_cast<std::size_t>(i)] = "F" + std::to_string(i + 1);
        }
    }
};

std::vector<ControlSpec> settingsControls() {
    static const FieldBoxTexts fieldTexts;
    std::vector<ControlSpec> controls(kSettingsControlsBeforeFields.begin(),
                                      kSettingsControlsBeforeFields.end());
    for (int i = 0; i < Settings::kFieldCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        controls.push_back({.name = fieldTexts.names[n],
                            .kind = K::CheckBox,
                            .caption = fieldTexts.captions[n],
                            .place = {120 + 1200 * (i % 5), 240 + 240 * (i / 5), 732, 252},
                            .parent = "fraField"});
    }
    controls.insert(controls.end(), kSettingsControlsAfterFields.begin(),
                    kSettingsControlsAfterFields.end());
    return controls;
}

constexpr std::array kChooserControls{
    ControlSpec{.name = "Drive1", .kind = K::DriveList, .place = {120, 120, 3372, 276}},
    ControlSpec{.name = "Dir1", .kind = K::DirectoryList, .place = {120, 480, 3372, 2520}},
    ControlSpec{
        .name = "cmdOK0", .kind = K::Button, .caption = "OK", .place = {3720, 120, 1215, 375}},
    ControlSpec{
        .name = "cmdOK1", .kind = K::Button, .caption = "ｷｬﾝｾﾙ", .place = {3720, 600, 1215, 375}},
};
constexpr std::array<std::string_view, 4> kChooserTabOrder{"cmdOK0", "cmdOK1", "Drive1", "Dir1"};

// The labels keep their design texts until the box loads its version information.
constexpr std::array kAboutControls{
    ControlSpec{.name = "picIcon", .kind = K::Picture, .place = {240, 240, 540, 540}},
    ControlSpec{.name = "lblTitle",
                .kind = K::Label,
                .caption = "ｱﾌﾟﾘｹｰｼｮﾝ ﾀｲﾄﾙ",
                .place = {840, 240, 3276, 240}},
    ControlSpec{.name = "lblVersion",
                .kind = K::Label,
                .caption = "ﾊﾞｰｼﾞｮﾝ",
                .place = {840, 480, 3276, 228}},
    // An etched separator: a white line two pixels thick under a grey one.
    ControlSpec{
        .name = "Line10", .kind = K::Line, .place = {108, 716, 4212, 30}, .colourBgr = kWhiteBgr},
    ControlSpec{
        .name = "Line11", .kind = K::Line, .place = {120, 716, 4200, 15}, .colourBgr = kGreyBgr},
    ControlSpec{.name = "lblCompany",
                .kind = K::Label,
                .caption = "会社名",
                .place = {840, 840, 1812, 228}},
    ControlSpec{
        .name = "cmdOK", .kind = K::Button, .caption = "OK", .place = {2976, 828, 1380, 345}},
    ControlSpec{.name = "Image1", .kind = K::Image, .place = {120, 1320, 4215, 780}},
};
constexpr std::array<std::string_view, 1> kAboutTabOrder{"cmdOK"};

}  // namespace

const WindowSpec& mainWindowSpec() {
    static const WindowSpec window{
        "frmMain", "KARUNE_MODEM for Windows", 8910, 5010, kMainControls, kMainTabOrder};
    return window;
}

const WindowSpec& settingsDialogSpec() {
    static const std::vector<ControlSpec> controls = settingsControls();
    static const WindowSpec window{"frmSetting", "ｵﾌﾟｼｮﾝ設定", 9165, 6390, controls, {}};
    return window;
}

const WindowSpec& folderChooserSpec() {
    static const WindowSpec window{"frmFolder", "保存ﾌｫﾙﾀﾞ",      4965,
                                   3195,        kChooserControls, kChooserTabOrder};
    return window;
}

const WindowSpec& aboutBoxSpec() {
    static const WindowSpec window{"frmAbout", {}, 4485, 2175, kAboutControls, kAboutTabOrder};
    return window;
}

const ControlSpec* findControl(const WindowSpec& window, std::string_view name) {
    const auto found = std::find_if(window.controls.begin(), window.controls.end(),
                                    [name](const ControlSpec& c) { return c.name == name; });
    return found == window.controls.end() ? nullptr : &*found;
}

}  // namespace karune::ui
