#pragma once

#include <windows.h>

#include <optional>
#include <string_view>
#include <vector>

#include "ui/core/Layout.h"

namespace karune::ui {

// The name a control or window has in the window tables, as a global atom in the window property
// "karune.name": another process (a test's inspector) reads it with GetPropW and
// GlobalGetAtomNameW.
inline constexpr wchar_t kNameProperty[] = L"karune.name";
void markName(HWND window, std::string_view name);
void unmarkName(HWND window);

// The native controls of one window, made from its table: each control kind becomes a system
// control class with its styles, places in twips become pixels at the window's DPI, every control
// gets the Shift-JIS "MS UI Gothic" font, hover hints become tool tips and the keyboard focus
// follows the table's order. Controls inside a frame are children of the window, placed by the
// frame's offset, so that their notifications reach the window.
class ControlTree {
public:
    explicit ControlTree(const WindowSpec& window);
    ~ControlTree();
    ControlTree(const ControlTree&) = delete;
    ControlTree& operator=(const ControlTree&) = delete;

    // Makes every control of the table in `window` (a fresh window without children), placed for
    // `dpi`; the progress bar and the lamps start hidden.
    void create(HWND window, int dpi);
    // Places the controls and sizes their font for `dpi`; again whenever the DPI changes.
    void layout(int dpi);
    // Before the window goes: the names and the font.
    void release();

    HWND find(std::string_view name) const;
    const ControlSpec* entryOf(int id) const;
    const ControlSpec* entryOf(HWND control) const;
    int dpi() const { return dpi_; }
    int pixels(int twips) const { return twipsToPixels(twips, dpi_); }
    HFONT font() const { return font_; }

    // WM_CTLCOLORSTATIC: the text colour a label's table asks for.
    std::optional<COLORREF> textColour(HWND control) const;
    // WM_DRAWITEM for the kinds the system does not draw (lamp, line, icon, banner); false for
    // any other control.
    bool draw(const DRAWITEMSTRUCT& item) const;

private:
    struct Built {
        const ControlSpec* entry;
        HWND handle;
    };

    std::vector<std::size_t> creationOrder() const;
    TwipsRect placeInWindow(const ControlSpec& control) const;
    void addHints();

    const WindowSpec& window_;
    HWND parent_ = nullptr;
    HWND tooltip_ = nullptr;
    std::vector<Built> controls_;
    HFONT font_ = nullptr;
    HICON icon_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace karune::ui
