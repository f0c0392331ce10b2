// A scripted stand-in for every modal interaction: it records what was shown and answers
// questions and dialogs from a queue. A dialog that finds no answer queued fails the test and is
// answered "cancel" / "no", so no test ever blocks on a real dialog. A wait needs no answer: it
// runs the event loop until its work is finished, unless a cancel is queued for it.
#pragma once

#include "modals.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <variant>

class ScriptedModals : public Modals {
public:
    enum class Kind { Message, Error, Exclamation, Question, File, Folder, Wait, Notice };
    struct Shown {
        Kind kind;
        QString title;
        QString text;
        bool defaultNo = false; // a question that Enter answers no
    };

    ScriptedModals();   // installs itself
    ~ScriptedModals() override; // restores what it replaced

    // Answers, taken in order by the dialogs that ask.
    void answerQuestion(bool yes);
    void answerFile(const QByteArray &path, int filterIndex = 0);
    void cancelFile();
    void answerFolder(const QByteArray &path);
    void cancelFolder();
    // The next wait cancels its work at once (as its Cancel button would) and returns false.
    void cancelWait();
    void answerNotice(bool run, bool dontAskAgain = false);
    int pendingAnswers() const { return int(m_answers.size()); }

    QList<Shown> shown;
    QList<FileDialogRequest> fileRequests;
    struct FolderRequest { QString title; QByteArray start; };
    QList<FolderRequest> folderRequests;
    NoticeRequest lastNotice; // recorded as notes + "\n" + command line in `shown`

    QStringList texts(Kind kind) const;
    QStringList messages() const { return texts(Kind::Message); }
    QStringList errors() const { return texts(Kind::Error); }
    QStringList waits() const { return texts(Kind::Wait); }
    void clear()
    {
        shown.clear();
        fileRequests.clear();
        folderRequests.clear();
        lastNotice = {};
    }

    void message(const QString &text) override;
    void error(const QString &text) override;
    void exclamation(const QString &caption, const QString &text) override;
    bool question(const QString &text) override;
    bool questionDefaultNo(const QString &text) override;
    std::optional<FileDialogResult> file(const FileDialogRequest &request) override;
    std::optional<QByteArray> folder(const QString &title, const QByteArray &start, QWidget *owner) override;
    bool wait(const QString &text, Waitable &work) override;
    NoticeAnswer notice(const NoticeRequest &request) override;

private:
    struct QuestionAnswer { bool yes; };
    struct FileAnswer { std::optional<FileDialogResult> result; };
    struct FolderAnswer { std::optional<QByteArray> path; };
    struct CancelWait {};
    using Answer = std::variant<QuestionAnswer, FileAnswer, FolderAnswer, CancelWait, NoticeAnswer>;
    template <class T> std::optional<T> take(const char *what);

    std::deque<Answer> m_answers;
    Modals *m_previous;
};
