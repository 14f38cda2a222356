#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "config/OperatorMessages.h"
#include "ui/core/MessageQueue.h"

namespace karune::ui {

// Shows one message to the operator and returns when it has been answered. Called on the
// window's thread only.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void present(const OperatorMessage& message) = 0;
};

// A modal message box with an OK button over `parent` (which may be empty): the message's title
// or the program's, and the critical icon when the message asks for it.
class MessageBoxPresenter : public MessagePresenter {
public:
    explicit MessageBoxPresenter(QWidget* parent = nullptr) : parent_(parent) {}
    void present(const OperatorMessage& message) override;

private:
    QPointer<QWidget> parent_;
};

// The operator's messages in the window, one box at a time (see MessageQueue). Created on the
// window's thread: a message raised there is presented at once and show() returns once it is
// answered; a message raised on any other thread is queued to the window's thread and show()
// returns at once, so the session never waits for the operator.
class MessageBoxMessages : public QObject, public OperatorMessages {
    Q_OBJECT
public:
    explicit MessageBoxMessages(MessagePresenter& presenter);
    void show(const OperatorMessage& message) override;

private:
    MessageQueue queue_;
};

}  // namespace karune::ui
