#include "ui/qt/MessageBoxMessages.h"

#include <QMessageBox>
#include <QThread>

#include "ui/core/ProgramInfo.h"
#include "ui/qt/JapaneseFont.h"

namespace karune::ui {

void MessageBoxPresenter::present(const OperatorMessage& message) {
    const QString title = message.title.empty() ? QString::fromUtf8(kProgramTitle)
                                                : QString::fromStdString(message.title);
    QString text = QString::fromStdString(message.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(
        message.icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, title,
        text, QMessageBox::Ok, parent_.data());
    applyJapaneseFont(box);
    box.exec();
}

MessageBoxMessages::MessageBoxMessages(MessagePresenter& presenter)
    : queue_([&presenter](const OperatorMessage& message) { presenter.present(message); }) {}

void MessageBoxMessages::show(const OperatorMessage& message) {
    if (QThread::currentThread() == thread()) {
        queue_.show(message);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, message] { queue_.show(message); }, Qt::QueuedConnection);
}

}  // namespace karune::ui
