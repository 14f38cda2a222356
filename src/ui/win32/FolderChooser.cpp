#include "ui/win32/FolderChooser.h"

#include <shellapi.h>

#include "ui/core/ProgramInfo.h"
#include "ui/win32/WideText.h"

namespace karune::ui {

namespace {

// How far each level of the directory list is indented, at 96 dpi.
constexpr int kIndentPixels = 12;
constexpr int kIconPixels = 16;

HICON shellIcon(SHSTOCKICONID which) {
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(SHGetStockIconInfo(which, SHGSI_ICON | SHGSI_SMALLICON, &info)))
        return nullptr;
    return info.hIcon;
}

}  // namespace

FolderChooser::FolderChooser(const FolderSource& source, const std::string& startFolder,
                             std::function<void(const std::string&)> chosen,
                             std::function<void()> closed)
    : TopLevelWindow(folderChooserSpec(), Frame::Dialog),
      logic_(source, startFolder),
      chosen_(std::move(chosen)),
      closed_(std::move(closed)) {}

FolderChooser::~FolderChooser() {
    destroy();
    for (const HICON icon : {closedFolder_, openFolder_}) {
        if (icon != nullptr)
            DestroyIcon(icon);
    }
}

void FolderChooser::open(HWND owner, HWND centreOver) {
    closedFolder_ = shellIcon(SIID_FOLDER);
    openFolder_ = shellIcon(SIID_FOLDEROPEN);
    create(owner);
    centreOn(centreOver);
    showLists();
    ShowWindow(handle(), SW_SHOWNORMAL);
}

void FolderChooser::close() {
    // The settings dialog is enabled before this one goes, so that it is the one activated.
    if (closed_)
        closed_();
    destroy();
}

void FolderChooser::showLists() {
    const HWND drives = control("Drive1");
    SendMessageW(drives, CB_RESETCONTENT, 0, 0);
    for (const RootEntry& root : logic_.roots())
        SendMessageW(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(root.label).c_str()));
    SendMessageW(drives, CB_SETCURSEL, static_cast<WPARAM>(logic_.selectedRoot()), 0);

    const HWND folders = control("Dir1");
    SendMessageW(folders, WM_SETREDRAW, FALSE, 0);
    SendMessageW(folders, LB_RESETCONTENT, 0, 0);
    for (const FolderRow& row : logic_.rows())
        SendMessageW(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(row.text).c_str()));
    SendMessageW(folders, LB_SETCURSEL, static_cast<WPARAM>(logic_.currentRow()), 0);
    SendMessageW(folders, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(folders, nullptr, TRUE);
}

void FolderChooser::report(const std::optional<std::string>& error) {
    if (error) {
        MessageBeep(MB_OK);
        MessageBoxW(handle(), widen(*error).c_str(), widen(kProgramTitle).c_str(), MB_OK);
    }
    showLists();
}

void FolderChooser::onCommand(const ControlSpec& control, int code) {
    const std::string_view name = control.name;
    if (name == "Drive1" && code == CBN_SELCHANGE) {
        const auto index = static_cast<int>(SendMessageW(this->control(name), CB_GETCURSEL, 0, 0));
        report(logic_.pickRoot(index));
    } else if (name == "Dir1" && code == LBN_DBLCLK) {
        const auto row = static_cast<int>(SendMessageW(this->control(name), LB_GETCURSEL, 0, 0));
        if (row >= 0)
            report(logic_.openRow(row));
    } else if (name == "cmdOK0" && code == BN_CLICKED) {
        chosen_(logic_.openFolder());
        close();
    } else if (name == "cmdOK1" && code == BN_CLICKED) {
        close();
    }
}

void FolderChooser::onDialogKey(int id) {
    if (id == IDCANCEL)
        close();
}

void FolderChooser::onClose() {
    close();
}

// Each row indented by its depth under the root, as a directory list shows the path down.
void FolderChooser::drawListItem(const DRAWITEMSTRUCT& item) {
    const auto& rows = logic_.rows();
    if (item.itemID >= rows.size())
        return;
    const FolderRow& row = rows[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(item.hDC, TRANSPARENT);
    const int dpi = controls().dpi();
    RECT text = item.rcItem;
    text.left += MulDiv(2 + kIndentPixels * row.depth, dpi, 96);
    if (const HICON icon = row.open ? openFolder_ : closedFolder_) {
        const int size = MulDiv(kIconPixels, dpi, 96);
        const int top = (item.rcItem.top + item.rcItem.bottom - size) / 2;
        DrawIconEx(item.hDC, text.left, top, icon, size, size, 0, nullptr, DI_NORMAL);
        text.left += size + MulDiv(4, dpi, 96);
    }
    const HGDIOBJ old = SelectObject(item.hDC, controls().font());
    const std::wstring wide = widen(row.text);
    DrawTextW(item.hDC, wide.c_str(), static_cast<int>(wide.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(item.hDC, old);
    if ((item.itemState & ODS_FOCUS) != 0)
        DrawFocusRect(item.hDC, &item.rcItem);
}

}  // namespace karune::ui
