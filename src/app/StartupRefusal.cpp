#include "app/StartupRefusal.h"

#include <QApplication>

#include "ui/qt/MessageBoxMessages.h"

namespace karune {

void showStartupRefusal(int& argc, char** argv, const std::string& text) {
    QApplication app(argc, argv);
    ui::MessageBoxPresenter presenter;
    presenter.present(OperatorMessage{{}, text, MessageIcon::Critical});
}

}  // namespace karune
