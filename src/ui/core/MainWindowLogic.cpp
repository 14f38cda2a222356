#include "ui/core/MainWindowLogic.h"

#include "session/Labels.h"

namespace karune::ui {

CommButtons commButtons(int mode) {
    const bool running = mode != 0;
    return {!running, running, !running, !running, !running, running};
}

MainWindowLogic::MainWindowLogic(Settings& settings, MainWindowView& view,
                                 MainWindowServices services)
    : settings_(settings), view_(view), services_(std::move(services)) {}

void MainWindowLogic::startUp() {
    setFolderText(settings_.Folder);
    // No click may land before the start-up step has set the buttons' mode.
    view_.setInputEnabled(false);
    view_.showWindow(settings_.StartUpSize == 1);
}

void MainWindowLogic::startUpStep() {
    if (ending_) {
        return;
    }
    view_.setInputEnabled(true);
    if (settings_.AutoStart == 1) {
        startReception(false);
    } else {
        sessionButtons(0);
    }
}

void MainWindowLogic::startAction() {
    // Once the program is ending, nothing starts again.
    if (!ending_) {
        startReception(true);
    }
}

void MainWindowLogic::startReception(bool clearStopPressed) {
    running_ = true;
    sessionActive_ = true;
    view_.showButtons(commButtons(1));
    services_.reception.start(settings_, clearStopPressed);
}

void MainWindowLogic::stopAction() {
    running_ = false;
    view_.showButtons(commButtons(0));
    services_.reception.stop();
}

void MainWindowLogic::sessionButtons(int mode) {
    running_ = mode != 0;
    view_.showButtons(commButtons(mode));
}

void MainWindowLogic::setStatusText(const std::string& text) {
    statusText_ = text;
    view_.showText("lblStatus", text);
}

void MainWindowLogic::setErrorText(const std::string& text) {
    errorText_ = text;
    view_.showText("lblErr", text);
}

void MainWindowLogic::setFileText(const std::string& text) {
    fileText_ = text;
    view_.showText("lblFile", text);
}

void MainWindowLogic::setStartText(const std::string& text) {
    view_.showText("lblStart", text);
}

void MainWindowLogic::setStopText(const std::string& text) {
    view_.showText("lblStop", text);
}

void MainWindowLogic::setProgress(int maximum, int value, bool visible) {
    view_.showProgress(maximum, value, visible);
}

void MainWindowLogic::setBusy(bool busy) {
    // The views count busy pointers; each change is passed on once.
    if (busy != busy_) {
        busy_ = busy;
        view_.setBusy(busy);
    }
}

void MainWindowLogic::showStatus(int mode, const std::string& text) {
    setStatusText(applyLabelMode(statusText_, mode, text));
}

void MainWindowLogic::showError(int mode, const std::string& text) {
    setErrorText(applyLabelMode(errorText_, mode, text));
}

void MainWindowLogic::setFolderText(const std::string& folder) {
    folderText_ = folder;
    const std::string mapping =
        services_.portMapping ? services_.portMapping(settings_.Port) : std::string();
    view_.showText("lblFolder", mapping.empty() ? folder : folder + "  (" + mapping + ")");
}

void MainWindowLogic::dialogOpened() {
    dialogOpen_ = true;
    view_.setInputEnabled(false);
}

void MainWindowLogic::dialogClosed() {
    dialogOpen_ = false;
    view_.setInputEnabled(true);
}

CloseDecision MainWindowLogic::closeRequested() {
    if (dialogOpen_) {
        return CloseDecision::Ignore;
    }
    if (running_) {
        // Closing never pulls the program from under a running session: it becomes a stop, and a
        // second close once reception is idle ends the program.
        stopAction();
        return CloseDecision::Stop;
    }
    return CloseDecision::Close;
}

bool MainWindowLogic::endRequested() {
    ending_ = true;
    if (dialogOpen_) {
        view_.closeDialogs();
    }
    if (running_) {
        stopAction();
    }
    if (sessionActive_) {
        // The call in progress closes with its closing sequence, history line and files first.
        return false;
    }
    view_.quit();
    return true;
}

void MainWindowLogic::sessionFinished() {
    sessionActive_ = false;
    if (ending_) {
        view_.quit();
    }
}

void MainWindowLogic::backgroundDoubleClicked() {
    view_.minimise();
}

void MainWindowLogic::openHistory() {
    open(historyFilePath(settings_.Folder, dateText(services_.clock.localNow())));
}

void MainWindowLogic::openOutput() {
    const std::string path = outputFilePath(folderText_, fileText_);
    if (!path.empty()) {
        open(path);
    }
}

void MainWindowLogic::open(const std::string& path) {
    if (!services_.opener.open(path) && services_.viewerFailed) {
        services_.viewerFailed(path);
    }
}

void MainWindowLogic::saveSettings(const Settings& workingCopy) {
    services_.saveSettings(workingCopy);
    setFolderText(settings_.Folder);
}

}  // namespace karune::ui
