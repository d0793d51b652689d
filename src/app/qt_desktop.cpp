#include "app/qt_desktop.h"

#include "files/path_bytes.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace tavrin {

namespace {

QMessageBox::Icon toQt(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::Stop:
        return QMessageBox::Critical;
    case BoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Some messages break their lines with CR LF or LF CR; a label shows a lone CR
// as a blank, so every break is shown as one line break.
QString forDisplay(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

int runBox(QWidget* owner, const QString& caption, const QString& text, BoxIcon icon,
           QMessageBox::StandardButtons buttons)
{
    QMessageBox box(toQt(icon), caption, forDisplay(text), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec();
}

} // namespace

void QtDesktop::showMessage(QWidget* owner, const QString& caption, const QString& text, BoxIcon icon)
{
    runBox(owner, caption, text, icon, QMessageBox::Ok);
}

bool QtDesktop::askYesNo(QWidget* owner, const QString& caption, const QString& text, BoxIcon icon)
{
    return runBox(owner, caption, text, icon, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// A desktop's own dialog gives the file's address with its bytes; Qt's dialog decodes
// names as UTF-8, so a name that is not (GBK) is looked up again by what it showed.
QString QtDesktop::chooseFileToOpen(QWidget* owner, const QString& title, const QString& filter)
{
    return pathFromToolkit(pathFromUrl(QFileDialog::getOpenFileUrl(owner, title, QUrl(), filter)));
}

QString QtDesktop::chooseFileToSave(QWidget* owner, const QString& title, const QString& suggested,
                                    const QString& filters, QString* chosenFilter)
{
    // The folder is given by its bytes, the name as the user reads it (a name that is
    // not UTF-8 could be neither shown nor typed back).
    const qsizetype slash = suggested.lastIndexOf(u'/');
    const QUrl start = slash < 0
        ? QUrl::fromLocalFile(displayName(suggested))
        : QUrl::fromEncoded("file://" + encodePath(suggested.left(slash)).toPercentEncoding("/") + '/'
                            + displayName(suggested).toUtf8().toPercentEncoding());
    return pathFromToolkit(pathFromUrl(
        QFileDialog::getSaveFileUrl(owner, title, start, filters, chosenFilter, QFileDialog::DontConfirmOverwrite)));
}

bool QtDesktop::setClipboardText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text);
    return true;
}

QString QtDesktop::clipboardText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

bool QtDesktop::openWebPage(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace tavrin
