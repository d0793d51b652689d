#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tavrin {

class Desktop;

// Runs a command. An error it does not catch itself ends it and is shown in the
// default error box (the error's text, the application title, a stop icon);
// the program goes on with the next event.
void runCommand(Desktop& desktop, QWidget* owner, const std::function<void()>& command);

void showErrorBox(Desktop& desktop, QWidget* owner, const QString& message);

// The one-button message with the application title as caption and no icon.
void showPlainMessage(Desktop& desktop, QWidget* owner, const QString& text);

} // namespace tavrin
