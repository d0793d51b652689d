#include "desktop/command_runner.h"

#include "desktop/app_texts.h"
#include "desktop/desktop.h"
#include "desktop/error_text.h"

#include <exception>

namespace tavrin {

void runCommand(Desktop& desktop, QWidget* owner, const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        showErrorBox(desktop, owner, QString::fromUtf8(error.what()));
    } catch (...) {
        showErrorBox(desktop, owner, texts::kUnknownError.toString());
    }
}

void showErrorBox(Desktop& desktop, QWidget* owner, const QString& message)
{
    desktop.showMessage(owner, texts::kApplicationTitle.toString(), errorBoxText(message), BoxIcon::Stop);
}

void showPlainMessage(Desktop& desktop, QWidget* owner, const QString& text)
{
    desktop.showMessage(owner, texts::kApplicationTitle.toString(), text, BoxIcon::None);
}

} // namespace tavrin
