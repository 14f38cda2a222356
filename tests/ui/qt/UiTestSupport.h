#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/FakeMessages.h"

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace karune::ui::test {

// The one QApplication of a test process, created on first use.
QApplication& qtApp();

// The visible top-level window of the given object name, or null.
QWidget* topLevel(const QString& objectName);

// Runs posted events, deferred deletions included.
void settle();

// Base of the window tests: the application exists before any member widget is built, and every
// window a test left open is closed after it.
class UiTest : public ::testing::Test {
protected:
    UiTest() { qtApp(); }
    void TearDown() override {
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->close();
        settle();
    }
};

// The named control of `parent`; a missing control fails the test (by exception).
template <typename T>
T* child(const QWidget& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    if (found == nullptr) {
        throw std::runtime_error("no control " + name.toStdString());
    }
    return found;
}

// Typed text straight to `widget`, wherever the keyboard focus is, Japanese included.
void typeText(QWidget* widget, const QString& text);
// A double click straight to `widget` at `pos`, as the platform delivers it.
void doubleClick(QWidget* widget, QPoint pos);

using karune::test::FakeMessages;

}  // namespace karune::ui::test
