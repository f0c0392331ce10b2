// Every modal interaction of the program passes through here: message boxes, the error box,
// yes/no questions, and the file and folder dialogs. The real implementation shows Qt's dialogs;
// tests install a scripted one that records what was shown and answers from a queue.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Work that goes on in the background while the program waits for it (another program running):
// it says when it is over, and can be cancelled.
class Waitable : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool isFinished() const = 0;
    // Ends the work early; `finished` follows.
    virtual void cancel() = 0;
signals:
    void finished();
};

// The notice shown before a configuration runs with switches its emulator cannot take as written.
struct NoticeRequest {
    QString notes;        // one line per switch: the words as written and the reason
    QString commandLine;  // the command that will run
};
struct NoticeAnswer {
    bool run = false;           // "Run"; false for "Cancel"
    bool dontAskAgain = false;  // "Don't ask again for this configuration" was checked
};

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString filter;             // "Description|pattern|Description|pattern", as written
    int filterIndex = 0;        // the filter selected when the dialog opens, from 0
    QByteArray directory;       // where the dialog opens; empty for the dialog's default
    bool confirmOverwrite = false; // a save dialog asks before a chosen file that exists is replaced
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
    // A yes/no question; true for yes. Enter answers yes.
    virtual bool question(const QString &text) = 0;
    // The same for a step the user may well not mean: Enter answers no. Where no one can be
    // asked, it is answered as any question.
    virtual bool questionDefaultNo(const QString &text) { return question(text); }
    // A file dialog; nothing when the user cancels.
    virtual std::optional<FileDialogResult> file(const FileDialogRequest &request) = 0;
    // A folder chooser titled `title`, preselecting `start` when not empty, accepting only existing
    // directories; nothing when the user cancels.
    virtual std::optional<QByteArray> folder(const QString &title, const QByteArray &start, QWidget *owner) = 0;
    // Waits until `work` is finished, saying `text` in a small window with a Cancel button, which
    // cancels the work. Input to the program's other windows waits meanwhile. True when the work
    // finished by itself, false when the user cancelled it.
    virtual bool wait(const QString &text, Waitable &work) = 0;
    // The notice before a run: the notes, the command line, "Run" (the default) and "Cancel", and
    // the check box "Don't ask again for this configuration".
    virtual NoticeAnswer notice(const NoticeRequest &request) = 0;

    // The implementation in use: Qt's dialogs unless another one was installed.
    static Modals &current();
    // Installs `modals` (nullptr: Qt's dialogs again) and returns the one it replaces.
    static Modals *install(Modals *modals);
};

// Converts "Description|pattern|..." pairs to Qt's "Description (pattern);;..." form; "*.*"
// becomes "*", since Qt's "*.*" matches only names with a dot.
QString qtFileFilter(const QString &oldStyle);
