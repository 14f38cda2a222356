#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace karune::ui {

// The portable description of the program's four windows: every control with its name, kind,
// caption, place, hover hint and colour, as both front ends build them. Places are in twips.

struct TwipsRect {
    int left, top, width, height;
};

enum class ControlKind {
    Label,
    FramedLabel,
    Button,
    ProgressBar,  // hidden until the session shows it
    Lamp,   // a filled rounded rectangle in colourBgr, hidden until the buttons' mode shows it
    Frame,  // a captioned group box
    TextBox,
    ScrollBar,  // horizontal
    Option,     // a radio button; the options of one frame are exclusive
    CheckBox,
    DriveList,
    DirectoryList,
    Picture,  // the program's icon
    Line,     // a filled bar in colourBgr, place.height thick
    Image     // the program's banner, stretched to the place
};

enum class Align { Left, Centre };

struct ControlSpec {
    std::string_view name;  // "lblFile", "cmdComm0", "Status0", "optAddDate3", "chkField0", ...
    ControlKind kind;
    std::string_view caption = {};  // UTF-8, the system's own text; empty for none
    TwipsRect place;  // relative to the frame named by `parent`, else to the client area
    std::string_view parent = {};
    std::string_view hint = {};   // hover hint (tool tip)
    std::uint32_t colourBgr = 0;  // lamp and line fill, red text of Label3 (0x00BBGGRR); 0: none
    Align align = Align::Left;
    bool multiLine = false;  // lblStatus, lblErr: text from the top left, wrapped
    bool readOnly = false;   // txtPort: shows the scroll bar's value only
};

struct WindowSpec {
    std::string_view name;          // "frmMain", "frmSetting", "frmFolder", "frmAbout"
    std::string_view caption;       // empty for the about box, whose caption is set when it loads
    int clientWidth, clientHeight;  // twips
    std::span<const ControlSpec> controls;       // creation order, frames before their contents
    std::span<const std::string_view> tabOrder;  // empty: the creation order
};

const WindowSpec& mainWindowSpec();
const WindowSpec& settingsDialogSpec();
const WindowSpec& folderChooserSpec();
const WindowSpec& aboutBoxSpec();

// The control of that name, or null.
const ControlSpec* findControl(const WindowSpec& window, std::string_view name);

// Twips to pixels at `dpi` dots per inch (1440 twips to the inch), rounded to the nearest pixel.
inline int twipsToPixels(int twips, int dpi) {
    return (twips * dpi + 720) / 1440;
}

// A size in pixels at `fromDpi` (a system size, given at the system's DPI) at `toDpi`, rounded.
inline int rescaledPixels(int pixels, int fromDpi, int toDpi) {
    return (pixels * toDpi + fromDpi / 2) / fromDpi;
}

}  // namespace karune::ui
