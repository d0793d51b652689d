#pragma once

#include "desktop/desktop.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <utility>

namespace tavrin::test {

// A desktop that never blocks: it records every box shown and answers
// questions and file dialogs from what the test has queued.
class ScriptedDesktop : public Desktop {
public:
    struct Box {
        QString caption;
        QString text;
        BoxIcon icon = BoxIcon::None;
        bool question = false;
    };

    QList<Box> boxes;
    QList<bool> answers;       // for askYesNo, first in first out; No when empty
    QStringList filesToChoose; // for chooseFileToOpen; cancelled when empty
    QStringList fileDialogTitles;
    // For chooseFileToSave, first in first out: the path and the filter chosen; cancelled when empty.
    QList<std::pair<QString, QString>> filesToSave;
    QStringList suggestedSavePaths;
    QString clipboard;
    bool clipboardWorks = true;
    QList<QUrl> openedPages;
    std::function<void(const Box&)> onBox; // runs while a box would be open

    void showMessage(QWidget*, const QString& caption, const QString& text, BoxIcon icon) override
    {
        boxes.append({caption, text, icon, false});
        if (onBox)
            onBox(boxes.last());
    }

    bool askYesNo(QWidget*, const QString& caption, const QString& text, BoxIcon icon) override
    {
        boxes.append({caption, text, icon, true});
        if (onBox)
            onBox(boxes.last());
        return answers.isEmpty() ? false : answers.takeFirst();
    }

    QString chooseFileToOpen(QWidget*, const QString& title, const QString&) override
    {
        fileDialogTitles.append(title);
        return filesToChoose.isEmpty() ? QString() : filesToChoose.takeFirst();
    }

    QString chooseFileToSave(QWidget*, const QString& title, const QString& suggested, const QString&,
                             QString* chosenFilter) override
    {
        fileDialogTitles.append(title);
        suggestedSavePaths.append(suggested);
        if (filesToSave.isEmpty())
            return QString();
        const auto [path, filter] = filesToSave.takeFirst();
        if (chosenFilter)
            *chosenFilter = filter;
        return path;
    }

    bool setClipboardText(const QString& text) override
    {
        if (clipboardWorks)
            clipboard = text;
        return clipboardWorks;
    }

    QString clipboardText() override { return clipboard; }

    bool openWebPage(const QUrl& url) override
    {
        openedPages.append(url);
        return true;
    }

    QStringList texts() const
    {
        QStringList all;
        for (const Box& box : boxes)
            all.append(box.text);
        return all;
    }
};

} // namespace tavrin::test
