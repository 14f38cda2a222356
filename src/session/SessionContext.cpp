#include "session/SessionContext.h"

#include <algorithm>
#include <limits>

#include "session/Labels.h"

namespace karune {
namespace {

int clampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, std::numeric_limits<int>::max()));
}

}  // namespace

void SessionContext::showStatus(int mode, std::string_view text) {
    status_ = applyLabelMode(status_, mode, text);
    display.setStatusText(status_);
}

void SessionContext::showError(int mode, std::string_view text) {
    error_ = applyLabelMode(error_, mode, text);
    display.setErrorText(error_);
}

void SessionContext::setStopText(const std::string& text) {
    stop_ = text;
    display.setStopText(text);
}

void SessionContext::setProgressMaximum(std::int64_t maximum) {
    if (maximum <= 0)
        return;
    progressMax_ = clampToInt(maximum);
    progressValue_ = std::min(progressValue_, progressMax_);
    pushProgress();
}

void SessionContext::setProgressValue(std::int64_t value) {
    progressValue_ = std::min(clampToInt(value), progressMax_);
    pushProgress();
}

void SessionContext::setProgressVisible(bool visible) {
    progressVisible_ = visible;
    pushProgress();
}

}  // namespace karune
