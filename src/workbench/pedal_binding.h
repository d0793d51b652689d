#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace tavrin {

class Desktop;
class MediaPlayer;
class PedalCommands;
class PedalOptionsDialog;
class PedalSource;
class PassageNavigator;
class TransportController;
struct PedalOptions;

// The foot pedals: found and read by PedalSource, turned by PedalCommands into
// the play/pause and step commands the buttons run, and set up in 脚踏板设置.
class PedalBinding : public QObject {
    Q_OBJECT
public:
    // What the pedals' roles run.
    struct Commands {
        TransportController& transport;
        PassageNavigator& passages;
    };

    // `owner` owns the dialog and the messages; `settingsFolder` holds the pedals' settings.
    PedalBinding(QWidget* owner, const Commands& commands, MediaPlayer& player, Desktop& desktop,
                 QString settingsFolder);

    // Reads the pedals' settings and, with `findPedals`, looks for the pedals
    // plugged into this computer; without, presses come only from streams added
    // to source(). Opening the devices need not hold up the window's first sight.
    void start(bool findPedals);
    void showOptions();
    void closeOptions();

    PedalSource& source() { return *source_; }
    PedalOptionsDialog& optionsDialog() { return *dialog_; }

private:
    void createCommands(const Commands& commands, MediaPlayer& player);
    void connectSource();
    void useOptions(const PedalOptions& options);
    void showMessage(const QString& text);

    QWidget* owner_;
    Desktop& desktop_;
    QString settingsFolder_;
    PedalSource* source_;
    PedalCommands* commands_ = nullptr;
    PedalOptionsDialog* dialog_;
};

} // namespace tavrin
