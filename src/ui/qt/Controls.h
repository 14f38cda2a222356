#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ui/core/Layout.h"

namespace karune::ui {

// Qt lays windows out in device-independent pixels: 96 of them to the inch.
inline QRect pixelRect(const TwipsRect& place) {
    constexpr int kDpi = 96;
    return QRect(twipsToPixels(place.left, kDpi), twipsToPixels(place.top, kDpi),
                 twipsToPixels(place.width, kDpi), twipsToPixels(place.height, kDpi));
}

// A colour written as 0x00BBGGRR, the way the window descriptions give their colours.
QColor fromBgr(std::uint32_t bgr);

// The controls of one window, built from its description into `window` (which gets the
// description's name, caption, size, the Japanese font and the tab order), found by name.
class Controls {
public:
    Controls(const WindowSpec& description, QWidget& window);

    // The control of that name as a T; a name or type that the description does not have is a
    // programming error.
    template <typename T>
    T* get(std::string_view name) const {
        const auto found = controls_.find(name);
        T* control = found == controls_.end() ? nullptr : qobject_cast<T*>(found->second);
        if (control == nullptr) {
            throw std::logic_error("no such control: " + std::string(name));
        }
        return control;
    }

private:
    std::map<std::string_view, QWidget*> controls_;
};

}  // namespace karune::ui
