#include "emulatoranswers.h"

#include "errors.h"
#include "fileio.h"
#include "inipath.h"
#include "modals.h"
#include "optioncheck.h"
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

ProcessCapture::Limits limitsOf(EmulatorAnswers::Question question)
{
    const ProcessLimits::Values &v = ProcessLimits::current();
    switch (question) {
    case EmulatorAnswers::Question::Version:
        return {v.versionBytes, v.versionMs};
    case EmulatorAnswers::Question::ListFull:
        return {v.titlesBytes, v.titlesMs};
    default:
        return {v.vocabularyBytes, v.vocabularyMs};
    }
}

const char *suffixOf(EmulatorAnswers::Question question)
{
    switch (question) {
    case EmulatorAnswers::Question::ShowConfig: return ".showconfig";
    case EmulatorAnswers::Question::ListFull: return ".listfull";
    case EmulatorAnswers::Question::BuiltIn: return ".builtin";
    case EmulatorAnswers::Question::ShowUsage: return ".showusage";
    case EmulatorAnswers::Question::Switches: return ".switches";
    default: return ".version";
    }
}

QByteArray home()
{
    return QFile::encodeName(QDir::homePath());
}

std::optional<QByteArray> inipathOf(const AnswerCache::Entry &entry)
{
    if (entry.status != 0)
        return std::nullopt;
    return IniPath::parse(entry.output);
}

} // namespace

EmulatorAnswers::EmulatorAnswers(QObject *parent) : QObject(parent) {}

EmulatorAnswers::~EmulatorAnswers()
{
    for (const Asking &asking : std::as_const(m_asking))
        delete asking.capture;
}

QList<QByteArray> EmulatorAnswers::argumentsOf(Question question)
{
    switch (question) {
    case Question::ShowConfig: return {"-showconfig"};
    case Question::ListFull: return {"-listfull"};
    case Question::BuiltIn: return {"-noreadconfig", "-showconfig"};
    case Question::ShowUsage: return {"-showusage"};
    case Question::Switches: return {"-noreadconfig", "-noNAME...", "-showconfig"};
    default: return {"-version"};
    }
}

QList<EmulatorAnswers::Question> EmulatorAnswers::prerequisites(Question question)
{
    switch (question) {
    case Question::Version: return {};
    case Question::ShowConfig:
    case Question::Switches: return {Question::Version, Question::BuiltIn};
    default: return {Question::Version};
    }
}

QByteArray EmulatorAnswers::cacheDirectory()
{
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        + "/trelvo-mame";
}

QByteArray EmulatorAnswers::cacheFile(const Key &key) const
{
    const QByteArray name = QCryptographicHash::hash(key.program, QCryptographicHash::Sha1).toHex();
    return cacheDirectory() + '/' + name + suffixOf(key.question);
}

void EmulatorAnswers::save(const Key &key, const AnswerCache::Entry &entry) const
{
    // A cache that cannot be written only costs the next start a run.
    if (FileIO::makeDirectories(cacheDirectory()))
        FileIO::writeAtomically(cacheFile(key), AnswerCache::serialize(entry));
}

bool EmulatorAnswers::isCurrent(const AnswerCache::Entry &entry, Question question)
{
    if (!entry.isCurrent())
        return false;
    if (question == Question::Version)
        return true;
    const auto version = m_answers.constFind({entry.program, Question::Version});
    if (version == m_answers.constEnd() || !version->isCurrent()) {
        startWhenReady({entry.program, Question::Version});
        return true; // good until the version says otherwise
    }
    return entry.version == version->output;
}

std::optional<AnswerCache::Entry> EmulatorAnswers::cached(const QByteArray &program, Question question)
{
    const Key key{program, question};
    auto found = m_answers.constFind(key);
    if (found != m_answers.constEnd()) {
        if (isCurrent(*found, question))
            return *found;
        m_answers.remove(key);
        m_pastBounds.remove(key);
    }
    if (question == Question::Version)
        return std::nullopt; // asked once a session, never kept on disk
    if (const std::optional<QByteArray> bytes = FileIO::read(cacheFile(key), AnswerCache::MaxFileBytes)) {
        std::optional<AnswerCache::Entry> entry = AnswerCache::parse(*bytes);
        if (entry && entry->program == program && isCurrent(*entry, question)) {
            m_answers.insert(key, *entry);
            return entry;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> EmulatorAnswers::builtInInipath(const QByteArray &program)
{
    if (const std::optional<AnswerCache::Entry> builtIn = cached(program, Question::BuiltIn))
        if (const std::optional<QByteArray> inipath = inipathOf(*builtIn))
            return inipath;
    if (const std::optional<AnswerCache::Entry> full = cached(program, Question::ShowConfig))
        return inipathOf(*full);
    return std::nullopt;
}

QList<QByteArray> EmulatorAnswers::iniFiles(const QByteArray &program, const QByteArray &inipath) const
{
    return IniPath::reading(inipath, PathRules::directoryPart(program), home()).files;
}

void EmulatorAnswers::startWhenReady(const Key &key, int from)
{
    if (m_asking.contains(key))
        return;
    const QList<Question> first = prerequisites(key.question);
    for (int i = from; i < first.size(); ++i) {
        if (cached(key.program, first.at(i)))
            continue;
        // Started again once that one ended, with the prerequisites after it.
        Waiting &waiting = m_waiting[{key.program, first.at(i)}];
        if (!waiting.contains(key.question))
            waiting.insert(key.question, i + 1);
        startWhenReady({key.program, first.at(i)});
        return;
    }
    start(key);
}

ProcessCapture *EmulatorAnswers::start(const Key &key)
{
    if (const auto asking = m_asking.constFind(key); asking != m_asking.constEnd())
        return asking->capture;
    auto *capture = new ProcessCapture;
    // Stamped before the run: a file changed while the emulator answers makes the answer old.
    Asking asking{capture, FileIO::stamp(key.program), {}, {}, {}, {}};
    if (const auto version = m_answers.constFind({key.program, Question::Version}); version != m_answers.constEnd())
        asking.version = version->output;
    if (key.question == Question::ShowConfig)
        if (const std::optional<AnswerCache::Entry> builtIn = cached(key.program, Question::BuiltIn))
            if (const std::optional<QByteArray> inipath = inipathOf(*builtIn))
                asking.files = AnswerCache::stamped(iniFiles(key.program, *inipath));
    if (key.question == Question::Switches) {
        if (const std::optional<AnswerCache::Entry> builtIn = cached(key.program, Question::BuiltIn)) {
            const Vocabulary words = Vocabulary::fromShowConfig(builtIn->output, builtIn->status);
            if (words.isKnown())
                asking.pending = words.onOffCandidates();
        }
        capture->setErrorOutputMerged(true);
    }
    m_asking.insert(key, asking);
    connect(capture, &Waitable::finished, this, [this, key, capture] { finished(key, capture); });
    // Asked in the emulator's own directory, its working directory when it runs.
    capture->start(key.program, arguments(key, asking), PathRules::directoryPart(key.program), limitsOf(key.question));
    if (capture->isFinished())
        finished(key, capture); // it never started
    return capture;
}

QList<QByteArray> EmulatorAnswers::arguments(const Key &key, const Asking &asking) const
{
    if (key.question != Question::Switches)
        return argumentsOf(key.question);
    QList<QByteArray> words{"-noreadconfig"};
    for (const QByteArray &name : asking.pending)
        words << "-no" + name;
    return words << "-showconfig";
}

bool EmulatorAnswers::probeOn(const Key &key, Asking &asking)
{
    const ProcessCapture &run = *asking.capture;
    if (run.end() != ProcessCapture::End::Exited || run.status() != 6)
        return false;
    // Read as a check of options is read; only a name that was tried counts: any other answer
    // ends the probe as it stands.
    const OptionCheck::Result said = OptionCheck::read(run.output(), [&](QByteArrayView name) {
        return asking.pending.contains(name);
    });
    if (said.byOption.size() != 1)
        return false;
    const qsizetype index = asking.pending.indexOf(said.byOption.firstKey());
    asking.confirmed << asking.pending.mid(0, index);
    asking.pending = asking.pending.mid(index + 1);
    auto *next = new ProcessCapture;
    next->setErrorOutputMerged(true);
    asking.capture->deleteLater();
    asking.capture = next;
    connect(next, &Waitable::finished, this, [this, key, next] { finished(key, next); });
    // One that cannot start tells so itself, queued.
    next->start(key.program, arguments(key, asking), PathRules::directoryPart(key.program), limitsOf(key.question));
    return true;
}

void EmulatorAnswers::finished(const Key &key, ProcessCapture *capture)
{
    const auto asking = m_asking.find(key);
    if (asking == m_asking.end() || asking->capture != capture)
        return; // handled already
    if (key.question == Question::Switches && probeOn(key, *asking))
        return;
    store(key, *asking);
    m_asking.remove(key);
    capture->deleteLater();
    const Waiting waiting = m_waiting.take(key);
    if (capture->end() != ProcessCapture::End::Cancelled)
        for (auto it = waiting.begin(); it != waiting.end(); ++it)
            startWhenReady({key.program, it.key()}, it.value());
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
    entry.version = asking.version;
    const bool exited = capture.end() == ProcessCapture::End::Exited;
    entry.status = exited ? capture.status() : -1;
    if (exited)
        entry.output = capture.output();
    if (key.question == Question::Version && entry.status != 0)
        entry.output.clear(); // no version: keyed as an empty one
    if (key.question == Question::Switches && entry.status == 0)
        entry.output = (asking.confirmed + asking.pending).join('\n');
    entry.files = asking.files;
    // Without a built-in inipath the answer's own tells which files it depends on.
    if (key.question == Question::ShowConfig && entry.files.isEmpty())
        if (const std::optional<QByteArray> inipath = inipathOf(entry))
            entry.files = AnswerCache::stamped(iniFiles(key.program, *inipath));
    m_answers.insert(key, entry);
    if (capture.end() == ProcessCapture::End::TooLong || capture.end() == ProcessCapture::End::TooMuch)
        m_pastBounds.insert(key);
    else
        m_pastBounds.remove(key);
    // Only an answer the emulator gave by ending by itself is kept for later starts.
    if (exited && asking.stamp && key.question != Question::Version)
        save(key, entry);
}

bool EmulatorAnswers::ranPastBounds(const QByteArray &program, Question question) const
{
    return m_pastBounds.contains({program, question});
}

std::optional<AnswerCache::Entry> EmulatorAnswers::ask(const QByteArray &program, Question question)
{
    for (const Question p : prerequisites(question))
        if (!ask(program, p))
            return std::nullopt;
    if (std::optional<AnswerCache::Entry> kept = cached(program, question))
        return kept;
    const Key key{program, question};
    start(key);
    // The on/off probe is a run after a run, each waited for in turn.
    for (auto asking = m_asking.constFind(key); asking != m_asking.constEnd(); asking = m_asking.constFind(key)) {
        ProcessCapture *capture = asking->capture;
        if (capture->isFinished()) {
            finished(key, capture);
            continue;
        }
        const QString text = QStringLiteral("Waiting for %1 %2 to finish")
                                 .arg(Errors::pathText(PathRules::namePart(program)),
                                      QString::fromLatin1(argumentsOf(question).join(' ')));
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
    startWhenReady({program, question});
}

void EmulatorAnswers::wroteFile(const QByteArray &program, const QByteArray &path,
                                const std::optional<FileIO::Stamp> &before)
{
    const std::optional<FileIO::Stamp> now = FileIO::stamp(path);
    for (auto it = m_answers.begin(); it != m_answers.end(); ++it) {
        if (it.key().program != program)
            continue;
        bool changed = false;
        for (AnswerCache::File &f : it->files)
            if (f.path == path && f.stamp == before && f.stamp != now) {
                f.stamp = now;
                changed = true;
            }
        if (changed && it->status != -1)
            save(it.key(), *it);
    }
}
