#pragma once

#include <string>

#include "session/Display.h"

namespace karune::test {

// A Display that keeps only the latest texts and a beep count, so that long runs do not grow.
class QuietDisplay : public Display {
public:
    void setStatusText(const std::string& text) override { status = text; }
    void setErrorText(const std::string& text) override { error = text; }
    void setFileText(const std::string&) override {}
    void setStartText(const std::string&) override {}
    void setStopText(const std::string&) override {}
    void setProgress(int, int, bool) override {}
    void setBusy(bool) override {}
    void setCommButtons(int) override {}
    void beep() override { ++beeps; }

    std::string status;
    std::string error;
    long beeps = 0;
};

}  // namespace karune::test
