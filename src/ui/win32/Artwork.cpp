#include "ui/win32/Artwork.h"

#include <algorithm>

#include "ui/win32/ResourceIds.h"

namespace karune::ui {

namespace {

constexpr wchar_t kBannerTitle[] = L"KARUNE_MODEM";
constexpr wchar_t kBannerSubtitle[] = L"ﾊﾝﾃﾞｨﾀｰﾐﾅﾙ ﾃﾞｰﾀ受信";

// The banner was drawn 802 pixels wide and 172 high; `scale` maps its units into `place`.
struct BannerScale {
    const RECT& place;
    int x(int units) const { return place.left + units * (place.right - place.left) / 802; }
    int y(int units) const { return place.top + units * (place.bottom - place.top) / 172; }
    RECT rect(int left, int top, int width, int height) const {
        return {x(left), y(top), x(left + width), y(top + height)};
    }
};

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A blue sky darkening to the left, in vertical bands.
void drawSky(HDC dc, const RECT& place) {
    const int width = std::max(1L, place.right - place.left);
    for (int x = 0; x < width; x += 4) {
        const int shade = x * 255 / width;
        fill(dc, {place.left + x, place.top, place.left + x + 4, place.bottom},
             RGB(20 + shade * 50 / 255, 70 + shade * 90 / 255, 160 + shade * 60 / 255));
    }
}

void drawTerminal(HDC dc, const BannerScale& s) {
    const HPEN pen = CreatePen(PS_SOLID, 2, RGB(40, 40, 60));
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HBRUSH body = CreateSolidBrush(RGB(235, 235, 225));
    const HGDIOBJ oldBrush = SelectObject(dc, body);
    RoundRect(dc, s.x(40), s.y(22), s.x(114), s.y(150), s.x(9) - s.x(0), s.y(9) - s.y(0));
    SelectObject(dc, oldBrush);
    DeleteObject(body);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    fill(dc, s.rect(51, 35, 52, 45), RGB(150, 200, 150));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col)
            fill(dc, s.rect(53 + col * 17, 92 + row * 10, 12, 6), RGB(90, 90, 110));
    }
}

void drawMonitor(HDC dc, const BannerScale& s) {
    fill(dc, s.rect(660, 34, 110, 80), RGB(40, 40, 60));
    fill(dc, s.rect(663, 37, 104, 74), RGB(220, 225, 235));
    fill(dc, s.rect(670, 44, 90, 60), RGB(30, 60, 110));
    fill(dc, s.rect(700, 114, 30, 14), RGB(220, 225, 235));
    fill(dc, s.rect(680, 128, 70, 10), RGB(220, 225, 235));
}

void drawText(HDC dc, const RECT& rect, const wchar_t* text, HFONT font, int height, bool bold,
              COLORREF colour) {
    LOGFONTW face{};
    GetObjectW(font, sizeof face, &face);
    face.lfHeight = -height;
    face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    const HFONT sized = CreateFontIndirectW(&face);
    const HGDIOBJ old = SelectObject(dc, sized);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    RECT box = rect;
    DrawTextW(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(sized);
}

}  // namespace

HICON loadProgramIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(KARUNE_ICON_ID), IMAGE_ICON, size, size,
                                         LR_DEFAULTCOLOR));
}

void drawLamp(HDC dc, const RECT& place, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    const HGDIOBJ oldBrush = SelectObject(dc, brush);
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    const int corner = std::min(place.right - place.left, place.bottom - place.top) / 4;
    RoundRect(dc, place.left, place.top, place.right, place.bottom, corner, corner);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void drawBanner(HDC dc, const RECT& place, HFONT font) {
    const BannerScale s{place};
    drawSky(dc, place);
    drawTerminal(dc, s);
    const HPEN wave = CreatePen(PS_SOLID, std::max(1, s.x(5) - s.x(0)), RGB(255, 255, 255));
    const HGDIOBJ oldPen = SelectObject(dc, wave);
    for (int i = 1; i <= 3; ++i) {
        const int r = 22 * i;
        Arc(dc, s.x(120 - r), s.y(86 - r), s.x(120 + r), s.y(86 + r), s.x(120 + r), s.y(86 + r),
            s.x(120 + r), s.y(86 - r));
    }
    SelectObject(dc, oldPen);
    DeleteObject(wave);
    drawMonitor(dc, s);
    drawText(dc, s.rect(200, 30, 440, 70), kBannerTitle, font, s.y(54) - s.y(0), true,
             RGB(255, 255, 255));
    drawText(dc, s.rect(200, 100, 440, 40), kBannerSubtitle, font, s.y(24) - s.y(0), false,
             RGB(225, 240, 255));
}

}  // namespace karune::ui
