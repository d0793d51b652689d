#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace tavrin {

enum class BoxIcon {
    None,
    Information,
    Question,
    Stop
};

// Everything the program asks of the desktop besides its own window: message
// boxes, file dialogs, the clipboard and the web browser. The window reaches
// them only through here, so tests can answer and record them without blocking.
class Desktop {
public:
    virtual ~Desktop() = default;

    // A modal box with one OK button; returns when it is closed.
    virtual void showMessage(QWidget* owner, const QString& caption, const QString& text, BoxIcon icon) = 0;
    // A modal box with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget* owner, const QString& caption, const QString& text, BoxIcon icon) = 0;
    // A modal file-open dialog; an empty title leaves the desktop's own. Empty when cancelled.
    virtual QString chooseFileToOpen(QWidget* owner, const QString& title, const QString& filter) = 0;
    // A modal file-save dialog starting at `suggested`, offering `filters` (";;"
    // apart); `chosenFilter` gets the one chosen. It never asks about replacing a
    // file itself: the caller asks. Empty when cancelled.
    virtual QString chooseFileToSave(QWidget* owner, const QString& title, const QString& suggested,
                                     const QString& filters, QString* chosenFilter) = 0;

    virtual bool setClipboardText(const QString& text) = 0;
    virtual QString clipboardText() = 0;

    // Opens a web address in the user's default browser; false when nothing could open it.
    virtual bool openWebPage(const QUrl& url) = 0;
};

} // namespace tavrin
