#include "scriptedmodals.h"

#include "appinfo.h"

#include <QEventLoop>
#include <QTest>

ScriptedModals::ScriptedModals() : m_previous(Modals::install(this)) {}

ScriptedModals::~ScriptedModals()
{
    Modals::install(m_previous);
}

void ScriptedModals::answerQuestion(bool yes) { m_answers.push_back(QuestionAnswer{yes}); }
void ScriptedModals::answerFile(const QByteArray &path, int filterIndex)
{
    m_answers.push_back(FileAnswer{FileDialogResult{path, filterIndex}});
}
void ScriptedModals::cancelFile() { m_answers.push_back(FileAnswer{std::nullopt}); }
void ScriptedModals::answerFolder(const QByteArray &path) { m_answers.push_back(FolderAnswer{path}); }
void ScriptedModals::cancelFolder() { m_answers.push_back(FolderAnswer{std::nullopt}); }
void ScriptedModals::cancelWait() { m_answers.push_back(CancelWait{}); }
void ScriptedModals::answerNotice(bool run, bool dontAskAgain)
{
    m_answers.push_back(NoticeAnswer{run, dontAskAgain});
}

QStringList ScriptedModals::texts(Kind kind) const
{
    QStringList out;
    for (const Shown &s : shown)
        if (s.kind == kind)
            out << s.text;
    return out;
}

template <class T>
std::optional<T> ScriptedModals::take(const char *what)
{
    if (m_answers.empty() || !std::holds_alternative<T>(m_answers.front())) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected %1: no answer queued for it").arg(QLatin1String(what))),
                     __FILE__, __LINE__);
        return std::nullopt;
    }
    T answer = std::get<T>(m_answers.front());
    m_answers.pop_front();
    return answer;
}

void ScriptedModals::message(const QString &text) { shown.append({Kind::Message, AppInfo::Title, text}); }
void ScriptedModals::error(const QString &text) { shown.append({Kind::Error, AppInfo::Title, text}); }
void ScriptedModals::exclamation(const QString &caption, const QString &text)
{
    shown.append({Kind::Exclamation, caption, text});
}

bool ScriptedModals::question(const QString &text)
{
    shown.append({Kind::Question, AppInfo::Title, text});
    const auto answer = take<QuestionAnswer>("question");
    return answer && answer->yes;
}

bool ScriptedModals::questionDefaultNo(const QString &text)
{
    const bool yes = question(text);
    shown.last().defaultNo = true;
    return yes;
}

std::optional<FileDialogResult> ScriptedModals::file(const FileDialogRequest &request)
{
    shown.append({Kind::File, request.title, request.filter});
    fileRequests.append(request);
    const auto answer = take<FileAnswer>("file dialog");
    return answer ? answer->result : std::nullopt;
}

std::optional<QByteArray> ScriptedModals::folder(const QString &title, const QByteArray &start, QWidget *)
{
    shown.append({Kind::Folder, title, QString::fromUtf8(start)});
    folderRequests.append({title, start});
    const auto answer = take<FolderAnswer>("folder dialog");
    return answer ? answer->path : std::nullopt;
}

bool ScriptedModals::wait(const QString &text, Waitable &work)
{
    shown.append({Kind::Wait, AppInfo::Title, text});
    if (work.isFinished())
        return true; // as the real wait: nothing to cancel
    const bool cancel = !m_answers.empty() && std::holds_alternative<CancelWait>(m_answers.front());
    if (cancel)
        m_answers.pop_front();
    QEventLoop loop;
    QObject::connect(&work, &Waitable::finished, &loop, &QEventLoop::quit);
    if (cancel)
        work.cancel();
    if (!work.isFinished())
        loop.exec();
    return !cancel;
}

NoticeAnswer ScriptedModals::notice(const NoticeRequest &request)
{
    shown.append({Kind::Notice, AppInfo::Title, request.notes + QLatin1Char('\n') + request.commandLine});
    lastNotice = request;
    return take<NoticeAnswer>("notice").value_or(NoticeAnswer{});
}
