#include "ui/win32/AboutBox.h"

#include "ui/core/AboutTexts.h"

namespace karune::ui {

AboutBox::AboutBox(std::function<void()> closed)
    : TopLevelWindow(aboutBoxSpec(), Frame::Dialog), closed_(std::move(closed)) {}

AboutBox::~AboutBox() {
    destroy();
}

void AboutBox::open(HWND mainWindow) {
    create(mainWindow);
    centreOn(mainWindow);
    const AboutTexts texts = aboutTexts();
    setCaption(texts.caption);
    setText("lblVersion", texts.version);
    setText("lblTitle", texts.title);
    setText("lblCompany", texts.company);
    // "OK" is the default button: Enter and Esc press it.
    SendMessageW(control("cmdOK"), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    ShowWindow(handle(), SW_SHOWNORMAL);
}

void AboutBox::close() {
    // The main window is enabled before this one goes, so that it is the one activated.
    if (closed_)
        closed_();
    destroy();
}

void AboutBox::onCommand(const ControlSpec& control, int code) {
    if (control.name == "cmdOK" && code == BN_CLICKED)
        close();
}

void AboutBox::onDialogKey(int) {
    close();
}

void AboutBox::onClose() {
    close();
}

}  // namespace karune::ui
