#include "ui/win32/ControlTree.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ui/win32/Artwork.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/WideText.h"

namespace karune::ui {

namespace {

// Control identifiers start above the dialog manager's IDOK and IDCANCEL, which Enter and Esc
// send to the window.
constexpr int kFirstId = 1000;
// The layout was drawn for a 9 point face.
constexpr int kFontPoints = 9;
constexpr wchar_t kFontFace[] = L"MS UI Gothic";
// A drive list shows this many drives when it drops down.
constexpr int kDropDownRows = 8;
// A directory list's row at 96 dpi: the 12 pixel face and its spacing.
constexpr int kListRowPixels = 16;

struct NativeStyle {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle = 0;
};

DWORD labelStyle(const ControlSpec& control) {
    // SS_NOTIFY: a label takes its own clicks (double-click opens a viewer) rather than handing
    // them to the window, whose background double-click minimises.
    DWORD style = SS_NOTIFY | SS_NOPREFIX;
    if (control.align == Align::Centre)
        return style | SS_CENTER;
    return style | (control.multiLine ? SS_LEFT : SS_LEFTNOWORDWRAP);
}

NativeStyle nativeStyle(const ControlSpec& control) {
    using K = ControlKind;
    switch (control.kind) {
        case K::Label:
            return {WC_STATICW, labelStyle(control)};
        case K::FramedLabel:
            return {WC_STATICW, labelStyle(control), WS_EX_CLIENTEDGE};
        case K::Button:
            return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP};
        case K::ProgressBar:
            return {PROGRESS_CLASSW, PBS_SMOOTH};
        case K::Frame:
            return {WC_BUTTONW, BS_GROUPBOX};
        case K::TextBox:
            return {
                WC_EDITW,
                static_cast<DWORD>(ES_AUTOHSCROLL | (control.readOnly ? ES_READONLY : WS_TABSTOP)),
                WS_EX_CLIENTEDGE};
        case K::ScrollBar:
            return {WC_SCROLLBARW, SBS_HORZ | WS_TABSTOP};
        case K::Option:
            return {WC_BUTTONW, BS_AUTORADIOBUTTON};
        case K::CheckBox:
            return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP};
        case K::DriveList:
            return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP};
        case K::DirectoryList:
            return {WC_LISTBOXW,
                    LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                        WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case K::Lamp:
        case K::Picture:
        case K::Line:
        case K::Image:
            // Lamps, lines and shapes take no clicks: they fall through to the window, as shapes
            // do.
            return {WC_STATICW, SS_OWNERDRAW};
    }
    return {WC_STATICW, 0};
}

bool startsHidden(ControlKind kind) {
    return kind == ControlKind::ProgressBar || kind == ControlKind::Lamp;
}

// The options of one frame form one exclusive group: the first of them starts it, and every
// other control starts a group of its own, which ends the options' group before it.
bool continuesGroup(const ControlSpec& control, const ControlSpec* previous) {
    return control.kind == ControlKind::Option && previous != nullptr &&
           previous->kind == ControlKind::Option && previous->parent == control.parent;
}

// A drop-down list's window height is that of its list; its field is as high as its item height
// and the frame the system draws around it, which differs between looks: measured once.
void fitDropDownField(HWND list, int height) {
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(1, height));
    RECT field{};
    GetWindowRect(list, &field);
    const int frame = (field.bottom - field.top) - height;
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(1, height - frame));
}

}  // namespace

void markName(HWND window, std::string_view name) {
    const ATOM atom = GlobalAddAtomW(widen(name).c_str());
    SetPropW(window, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

void unmarkName(HWND window) {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(window, kNameProperty)));
    if (atom != 0)
        GlobalDeleteAtom(atom);
}

ControlTree::ControlTree(const WindowSpec& window) : window_(window) {}

ControlTree::~ControlTree() {
    release();
}

TwipsRect ControlTree::placeInWindow(const ControlSpec& control) const {
    TwipsRect place = control.place;
    if (const ControlSpec* frame =
            control.parent.empty() ? nullptr : findControl(window_, control.parent)) {
        place.left += frame->place.left;
        place.top += frame->place.top;
    }
    return place;
}

// The focus order of the table comes first among the window's children, then the other controls
// in the table's order: the system moves the focus in the order the children were created.
std::vector<std::size_t> ControlTree::creationOrder() const {
    std::vector<std::size_t> order;
    for (const std::string_view name : window_.tabOrder) {
        for (std::size_t i = 0; i < window_.controls.size(); ++i) {
            if (window_.controls[i].name == name)
                order.push_back(i);
        }
    }
    for (std::size_t i = 0; i < window_.controls.size(); ++i) {
        if (std::find(order.begin(), order.end(), i) == order.end())
            order.push_back(i);
    }
    return order;
}

void ControlTree::create(HWND window, int dpi) {
    parent_ = window;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    controls_.assign(window_.controls.size(), Built{nullptr, nullptr});
    const ControlSpec* previous = nullptr;
    for (const std::size_t index : creationOrder()) {
        const ControlSpec& control = window_.controls[index];
        const NativeStyle native = nativeStyle(control);
        DWORD style = WS_CHILD | native.style;
        if (!continuesGroup(control, previous))
            style |= WS_GROUP | (control.kind == ControlKind::Option ? WS_TABSTOP : 0);
        if (!startsHidden(control.kind))
            style |= WS_VISIBLE;
        const auto id = static_cast<INT_PTR>(kFirstId + static_cast<int>(index));
        const HWND handle = CreateWindowExW(native.exStyle, native.windowClass,
                                            widen(control.caption).c_str(), style, 0, 0, 0, 0,
                                            window, reinterpret_cast<HMENU>(id), instance, nullptr);
        markName(handle, control.name);
        controls_[index] = {&control, handle};
        previous = &control;
    }
    addHints();
    layout(dpi);
}

void ControlTree::addHints() {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    for (const Built& built : controls_) {
        if (built.entry->hint.empty())
            continue;
        std::wstring text = widen(built.entry->hint);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.lpszText = text.data();
        if (built.entry->kind == ControlKind::Frame) {
            // A group box lets the mouse through to the window: the hint is on its area there.
            tool.uFlags = TTF_SUBCLASS;
            tool.hwnd = parent_;
            tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(built.handle));
        } else {
            tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
            tool.hwnd = parent_;
            tool.uId = reinterpret_cast<UINT_PTR>(built.handle);
        }
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void ControlTree::layout(int dpi) {
    dpi_ = dpi;
    const HFONT old = font_;
    font_ = CreateFontW(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, kFontFace);
    if (icon_ != nullptr)
        DestroyIcon(icon_);
    icon_ = loadProgramIcon(iconPixels(SM_CXICON, dpi));
    for (const Built& built : controls_) {
        const TwipsRect place = placeInWindow(*built.entry);
        const int left = pixels(place.left);
        const int top = pixels(place.top);
        const int width = pixels(place.width);
        int height = pixels(place.height);
        SendMessageW(built.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (built.entry->kind == ControlKind::DriveList) {
            MoveWindow(built.handle, left, top, width, height * kDropDownRows, TRUE);
            fitDropDownField(built.handle, height);
            continue;
        }
        if (built.entry->kind == ControlKind::DirectoryList)
            SendMessageW(built.handle, LB_SETITEMHEIGHT, 0, MulDiv(kListRowPixels, dpi, 96));
        if (built.entry->kind == ControlKind::Line)
            height = std::max(1, height);
        MoveWindow(built.handle, left, top, width, height, TRUE);
        if (built.entry->kind == ControlKind::Frame && tooltip_ != nullptr) {
            TTTOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = parent_;
            tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(built.handle));
            tool.rect = {left, top, left + width, top + height};
            SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    if (tooltip_ != nullptr)
        SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (old != nullptr)
        DeleteObject(old);
}

void ControlTree::release() {
    for (const Built& built : controls_) {
        if (IsWindow(built.handle))
            unmarkName(built.handle);
    }
    controls_.clear();
    if (tooltip_ != nullptr && IsWindow(tooltip_))
        DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    if (font_ != nullptr)
        DeleteObject(font_);
    font_ = nullptr;
    if (icon_ != nullptr)
        DestroyIcon(icon_);
    icon_ = nullptr;
}

HWND ControlTree::find(std::string_view name) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [name](const Built& b) { return b.entry->name == name; });
    return found == controls_.end() ? nullptr : found->handle;
}

const ControlSpec* ControlTree::entryOf(int id) const {
    const int index = id - kFirstId;
    if (index < 0 || index >= static_cast<int>(controls_.size()))
        return nullptr;
    return controls_[static_cast<std::size_t>(index)].entry;
}

const ControlSpec* ControlTree::entryOf(HWND control) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [control](const Built& b) { return b.handle == control; });
    return found == controls_.end() ? nullptr : found->entry;
}

std::optional<COLORREF> ControlTree::textColour(HWND control) const {
    const ControlSpec* entry = entryOf(control);
    if (entry == nullptr || entry->kind != ControlKind::Label || entry->colourBgr == 0)
        return std::nullopt;
    return static_cast<COLORREF>(entry->colourBgr);
}

bool ControlTree::draw(const DRAWITEMSTRUCT& item) const {
    const ControlSpec* entry = entryOf(item.hwndItem);
    if (entry == nullptr)
        return false;
    const auto colour = static_cast<COLORREF>(entry->colourBgr);
    switch (entry->kind) {
        case ControlKind::Lamp:
            FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
            drawLamp(item.hDC, item.rcItem, colour);
            return true;
        case ControlKind::Line: {
            const HBRUSH brush = CreateSolidBrush(colour);
            FillRect(item.hDC, &item.rcItem, brush);
            DeleteObject(brush);
            return true;
        }
        case ControlKind::Picture:
            FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
            // Zero sizes draw the icon as loaded, at the DPI's icon size.
            if (icon_ != nullptr)
                DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, icon_, 0, 0, 0, nullptr,
                           DI_NORMAL);
            return true;
        case ControlKind::Image:
            drawBanner(item.hDC, item.rcItem, font_);
            return true;
        default:
            return false;
    }
}

}  // namespace karune::ui
