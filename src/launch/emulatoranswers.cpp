#include "emulatoranswers.h"

#include "errors.h"
#include "fileio.h"
#include "inipath.h"
#include "modals.h"
#include "pathrules.h"
#include "processcapture.h"
#include "processlimits.h"
#include "vocabulary.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>

namespace {

QByteArray switchOf(EmulatorAnswers::Question question)
{
    return question == EmulatorAnswers::Question::ShowConfig ? "-showconfig" : "-listfull";
}

ProcessCapture::Limits limitsOf(EmulatorAnswers::Question question)
{
    const ProcessLimits::Values &v = ProcessLimits::current();
    if (question == EmulatorAnswers::Question::ShowConfig)
        return {v.vocabularyBytes, v.vocabularyMs};
    return {v.titlesBytes, v.titlesMs};
}

QByteArray home()
{
    return QFile::encodeName(QDir::homePath());
}

// The mame.ini files a "-showconfig" answer depends on: one in each directory of its inipath.
QList<QByteArray> iniFiles(const QByteArray &program, const QByteArray &output, int status)
{
    const std::optional<QByteArray> inipath = Vocabulary::fromShowConfig(output, status).value("inipath");
    QList<QByteArray> files;
    if (inipath)
        for (const QByteArray &d : IniPath::directories(*inipath, PathRules::directoryPart(program), home()))
            files.append(PathRules::join(d, "mame.ini"));
    return files;
}

} // namespace

EmulatorAnswers::EmulatorAnswers(QObject *parent) : QObject(parent) {}

EmulatorAnswers::~EmulatorAnswers()
{
    for (const Asking &asking : std::as_const(m_asking))
        delete asking.capture;
}

QByteArray EmulatorAnswers::cacheDirectory()
{
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        + "/trelvo-mame";
}

QByteArray EmulatorAnswers::cacheFile(const Key &key) const
{
    const QByteArray name = QCryptographicHash::hash(key.program, QCryptographicHash::Sha1).toHex();
    return cacheDirectory() + '/' + name + (key.question == Question::ShowConfig ? ".showconfig" : ".listfull");
}

std::optional<AnswerCache::Entry> EmulatorAnswers::cached(const QByteArray &program, Question question)
{
    const Key key{program, question};
    auto found = m_answers.constFind(key);
    if (found != m_answers.constEnd()) {
        if (found->isCurrent())
            return *found;
        m_answers.remove(key);
    }
    if (const std::optional<QByteArray> bytes = FileIO::read(cacheFile(key))) {
        std::optional<AnswerCache::Entry> entry = AnswerCache::parse(*bytes);
        if (entry && entry->program == program && entry->isCurrent()) {
            m_answers.insert(key, *entry);
            return entry;
        }
    }
    return std::nullopt;
}

ProcessCapture *EmulatorAnswers::start(const Key &key)
{
    if (const auto asking = m_asking.constFind(key); asking != m_asking.constEnd())
        return asking->capture;
    auto *capture = new ProcessCapture;
    // Stamped before the run: a file changed while the emulator answers makes the answer old.
    m_asking.insert(key, {capture, FileIO::stamp(key.program)});
    connect(capture, &Waitable::finished, this, [this, key, capture] { finished(key, capture); });
    // Asked in the emulator's own directory, its working directory when it runs.
    capture->start(key.program, {switchOf(key.question)}, PathRules::directoryPart(key.program),
                   limitsOf(key.question));
    if (capture->isFinished())
        finished(key, capture); // it never started
    return capture;
}

void EmulatorAnswers::finished(const Key &key, ProcessCapture *capture)
{
    const auto asking = m_asking.constFind(key);
    if (asking == m_asking.constEnd() || asking->capture != capture)
        return; // handled already
    store(key, *asking);
    m_asking.remove(key);
    capture->deleteLater();
    emit answered(key.program, key.question);
}

void EmulatorAnswers::store(const Key &key, const Asking &asking)
{
    const ProcessCapture &capture = *asking.capture;
    if (capture.end() == ProcessCapture::End::Cancelled)
        return; // no answer: the next command asks again
    AnswerCache::Entry entry;
    entry.program = key.program;
    // An emulator whose file is gone gets a stamp no file has: its answer serves this command only.
    entry.programStamp = asking.stamp.value_or(FileIO::Stamp{-1, -1});
    entry.status = capture.end() == ProcessCapture::End::Exited ? capture.status() : -1;
    if (entry.status != -1)
        entry.output = capture.output();
    if (key.question == Question::ShowConfig)
        entry.files = AnswerCache::stamped(iniFiles(key.program, entry.output, entry.status));
    m_answers.insert(key, entry);
    // A cache that cannot be written only costs the next start a run.
    if (asking.stamp && FileIO::makeDirectories(cacheDirectory()))
        FileIO::writeAtomically(cacheFile(key), AnswerCache::serialize(entry));
}

std::optional<AnswerCache::Entry> EmulatorAnswers::ask(const QByteArray &program, Question question)
{
    if (std::optional<AnswerCache::Entry> kept = cached(program, question))
        return kept;
    const Key key{program, question};
    ProcessCapture *capture = start(key);
    if (!capture->isFinished()) {
        const QString text = QStringLiteral("Waiting for %1 %2 to finish")
                                 .arg(Errors::pathText(PathRules::namePart(program)),
                                      QString::fromLatin1(switchOf(question)));
        if (!Modals::current().wait(text, *capture))
            return std::nullopt;
    }
    return m_answers.value(key);
}


void EmulatorAnswers::askInBackground(const QByteArray &program, Question question)
{
    if (cached(program, question)) {
        QTimer::singleShot(0, this, [this, program, question] { emit answered(program, question); });
        return;
    }
    start({program, question});
}

void EmulatorAnswers::refreshFiles(const QByteArray &program, Question question)
{
    const Key key{program, question};
    auto found = m_answers.find(key);
    if (found == m_answers.end())
        return;
    QList<QByteArray> paths;
    for (const AnswerCache::File &f : found->files)
        paths << f.path;
    found->files = AnswerCache::stamped(paths);
    if (FileIO::makeDirectories(cacheDirectory()))
        FileIO::writeAtomically(cacheFile(key), AnswerCache::serialize(*found));
}
