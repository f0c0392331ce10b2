// Every modal interaction of the program passes through here: message boxes, the error box,
// yes/no questions, and the file and folder dialogs. The real implementation shows Qt's dialogs;
// tests install a scripted one that records what was shown and answers from a queue.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString filter;             // "Description|pattern|Description|pattern", as written
    int filterIndex = 0;        // the filter selected when the dialog opens, from 0
    QByteArray directory;       // where the dialog opens; empty for the dialog's default
};

struct FileDialogResult {
    QByteArray path;            // the chosen file, as the file system names it
    int filterIndex = 0;        // the filter selected when the user confirmed
};

class Modals {
public:
    virtual ~Modals() = default;

    // The plain message box: the application title, no icon, one OK button, centred on the screen.
    virtual void message(const QString &text) = 0;
    // The error box of a failed command, titled with the application title.
    virtual void error(const QString &text) = 0;
    // A message box with its own caption and an exclamation icon.
    virtual void exclamation(const QString &caption, const QString &text) = 0;
    // A yes/no question; true for yes.
    virtual bool question(const QString &text) = 0;
    // A file dialog; nothing when the user cancels.
    virtual std::optional<FileDialogResult> file(const FileDialogRequest &request) = 0;
    // A folder chooser titled `title`, preselecting `start` when not empty, accepting only existing
    // directories; nothing when the user cancels.
    virtual std::optional<QByteArray> folder(const QString &title, const QByteArray &start, QWidget *owner) = 0;

    // The implementation in use: Qt's dialogs unless another one was installed.
    static Modals &current();
    // Installs `modals` (nullptr: Qt's dialogs again) and returns the one it replaces.
    static Modals *install(Modals *modals);
};

// Converts "Description|pattern|..." pairs to Qt's "Description (pattern);;..." form; "*.*"
// becomes "*", since Qt's "*.*" matches only names with a dot.
QString qtFileFilter(const QString &oldStyle);
