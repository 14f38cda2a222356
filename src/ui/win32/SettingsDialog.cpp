#include "ui/win32/SettingsDialog.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "ui/win32/FolderChooser.h"

namespace karune::ui {

namespace {

constexpr std::array kOptionGroups{OptionGroup::AddDate,     OptionGroup::OverWrite,
                                   OptionGroup::StartUpSize, OptionGroup::AutoStart,
                                   OptionGroup::CrcType,     OptionGroup::Protocol};
constexpr std::string_view kFieldBoxPrefix = "chkField";

// The index a control's name ends in after `prefix` ("optAddDate3" -> 3), or -1.
int indexAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size())
        return -1;
    int index = -1;
    const std::string_view digits = name.substr(prefix.size());
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    return error == std::errc{} && end == digits.data() + digits.size() ? index : -1;
}

bool checked(HWND box) {
    return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void check(HWND box, bool on) {
    SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace

SettingsDialog::SettingsDialog(const Settings& settings, const FolderSource& folders,
                               std::function<void(const Settings&)> save,
                               std::function<void()> closed)
    : TopLevelWindow(settingsDialogSpec(), Frame::Dialog),
      settings_(settings),
      folders_(folders),
      logic_(settings, std::move(save)),
      closed_(std::move(closed)) {}

SettingsDialog::~SettingsDialog() {
    chooser_.reset();
    destroy();
}

void SettingsDialog::open(HWND mainWindow) {
    create(mainWindow);
    RECT main{};
    GetWindowRect(mainWindow, &main);
    moveTo(main.left, main.top);
    load(controlsFor(settings_));
    ShowWindow(handle(), SW_SHOWNORMAL);
}

void SettingsDialog::load(const SettingsControls& values) {
    loading_ = true;
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    scroll.nMin = kFirstPort;
    scroll.nMax = kLastPort;
    scroll.nPage = 0;
    scroll.nPos = values.port;
    SetScrollInfo(control("hsPort"), SB_CTL, &scroll, TRUE);
    setText("txtPort", std::to_string(values.port));
    setText("lblFolder", values.folder);
    for (const OptionGroup group : kOptionGroups) {
        const int selected = values.options[static_cast<std::size_t>(group)];
        const std::string name = std::string(optionGroupName(group)) + std::to_string(selected);
        if (const HWND option = control(name))
            check(option, true);
    }
    keptFixFname_ = values.fixFname;
    setText("txtFixFname", values.fixFname);
    check(control("chkTimeAdjust"), values.timeAdjust);
    for (int i = 0; i < Settings::kFieldCount; ++i)
        check(control(std::string(kFieldBoxPrefix) + std::to_string(i)),
              values.fields[static_cast<std::size_t>(i)]);
    loading_ = false;
}

void SettingsDialog::cancel() {
    if (chooser_ != nullptr && chooser_->exists())
        chooser_->close();
    close();
}

void SettingsDialog::close() {
    // The main window is enabled before this one goes, so that it is the one activated.
    if (closed_)
        closed_();
    destroy();
}

void SettingsDialog::onClose() {
    if (logic_.closeAllowed())
        close();
}

void SettingsDialog::onDialogKey(int id) {
    if (id == IDCANCEL)
        onClose();
}

void SettingsDialog::onCommand(const ControlSpec& control, int code) {
    if (loading_)
        return;
    const std::string_view name = control.name;
    if (code == EN_CHANGE && name == "txtFixFname") {
        fixFnameEdited();
        return;
    }
    if (code != BN_CLICKED)
        return;
    if (name == "cmdOK0") {
        logic_.ok();
        close();
    } else if (name == "cmdOK1") {
        close();
    } else if (name == "cmdFolderRef") {
        openChooser();
    } else if (name == "chkTimeAdjust") {
        logic_.timeAdjustToggled(checked(this->control(name)));
    } else if (const int field = indexAfter(name, kFieldBoxPrefix); field >= 0) {
        logic_.fieldToggled(field, checked(this->control(name)));
    } else {
        for (const OptionGroup group : kOptionGroups) {
            if (const int index = indexAfter(name, optionGroupName(group)); index >= 0)
                logic_.optionClicked(group, index);
        }
    }
}

void SettingsDialog::fixFnameEdited() {
    const std::string typed = text("txtFixFname");
    if (!acceptableFixFname(typed)) {
        // The box keeps what it showed before the refused character.
        const HWND box = control("txtFixFname");
        loading_ = true;
        setText("txtFixFname", keptFixFname_);
        loading_ = false;
        SendMessageW(box, EM_SETSEL, keptFixFname_.size(), keptFixFname_.size());
        MessageBeep(MB_OK);
        return;
    }
    keptFixFname_ = typed;
    logic_.fixFnameChanged(typed);
}

void SettingsDialog::portScrolled(int request, int thumb) {
    const HWND bar = control("hsPort");
    const int current = GetScrollPos(bar, SB_CTL);
    int value = current;
    switch (request) {
        case SB_LINELEFT:
        case SB_PAGELEFT:
            value = current - 1;
            break;
        case SB_LINERIGHT:
        case SB_PAGERIGHT:
            value = current + 1;
            break;
        case SB_LEFT:
            value = kFirstPort;
            break;
        case SB_RIGHT:
            value = kLastPort;
            break;
        case SB_THUMBPOSITION:
            // Only where the thumb is released: dragging it changes nothing yet.
            value = thumb;
            break;
        default:
            return;
    }
    value = std::clamp(value, kFirstPort, kLastPort);
    if (value == current && request != SB_THUMBPOSITION)
        return;
    SetScrollPos(bar, SB_CTL, value, TRUE);
    setText("txtPort", std::to_string(value));
    logic_.portChanged(value);
}

bool SettingsDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_HSCROLL || reinterpret_cast<HWND>(lParam) != control("hsPort"))
        return false;
    portScrolled(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
    result = 0;
    return true;
}

void SettingsDialog::openChooser() {
    const HWND mainWindow = GetWindow(handle(), GW_OWNER);
    chooser_ = std::make_unique<FolderChooser>(
        folders_, text("lblFolder"),
        [this](const std::string& folder) {
            setText("lblFolder", folder);
            logic_.folderChosen(folder);
        },
        [this] { chooserClosed(); });
    chooser_->open(handle(), mainWindow);
    logic_.chooserOpened();
    EnableWindow(handle(), FALSE);
}

void SettingsDialog::chooserClosed() {
    logic_.chooserClosed();
    EnableWindow(handle(), TRUE);
    SetActiveWindow(handle());
}

}  // namespace karune::ui
