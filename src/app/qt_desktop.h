#pragma once

#include "desktop/desktop.h"

namespace tavrin {

// The real desktop: Qt's message boxes, file dialogs and clipboard, and the
// browser the desktop chooses.
class QtDesktop : public Desktop {
public:
    void showMessage(QWidget* owner, const QString& caption, const QString& text, BoxIcon icon) override;
    bool askYesNo(QWidget* owner, const QString& caption, const QString& text, BoxIcon icon) override;
    QString chooseFileToOpen(QWidget* owner, const QString& title, const QString& filter) override;
    QString chooseFileToSave(QWidget* owner, const QString& title, const QString& suggested, const QString& filters,
                             QString* chosenFilter) override;
    bool setClipboardText(const QString& text) override;
    QString clipboardText() override;
    bool openWebPage(const QUrl& url) override;
};

} // namespace tavrin
