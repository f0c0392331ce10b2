// The "Emulator Options" page in the editor: built for the emulator in the emulator field once it
// has said what it has, its options read from line 39 and written back into it.
#include "configeditor.h"

#include "config.h"
#include "errors.h"
#include "fileio.h"
#include "guard.h"
#include "launcher.h"
#include "optionspage.h"
#include "pageoptions.h"
#include "pathrules.h"
#include "processcapture.h"
#include "processlimits.h"
#include "textcodec.h"
#include "workstrip.h"

#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <QScopedValueRollback>
#include <QTabWidget>

void TForm2::buildOptionsPage()
{
    emulatorOptions = new OptionsPage(TabbedNotebook1);
    TabbedNotebook1->addTab(emulatorOptions, QStringLiteral("Emulator Options"));
    // What the other pages set is theirs: shown here read-only, with the page that sets it.
    QMap<QByteArray, QString> captions;
    const QMap<QByteArray, Options::Page> &pages = PageOptions::all();
    for (auto it = pages.constBegin(); it != pages.constEnd(); ++it)
        captions.insert(it.key(), QStringLiteral("Set on the %1 page")
                                      .arg(QString::fromLatin1(Options::PageCaptions[size_t(it.value())])));
    emulatorOptions->setFixed(captions);
    connect(emulatorOptions, &OptionsPage::changed, this, guarded([this] {
        if (!m_loading)
            showCommand();
    }));
    // Nothing of the page is set up before a user looks at it: until then line 39 is written
    // back as it was read.
    connect(emulatorOptions, &OptionsPage::aboutToShow, this, guarded([this] {
        if (m_pageWanted)
            return;
        m_pageWanted = true;
        optionsFollowEmulator();
    }));
    connect(emulatorOptions, &OptionsPage::checkRequested, this, guarded([this] { checkWithEmulator(); }));
    connect(emulatorOptions->checkStrip(), &WorkStrip::cancelled, this, [this] {
        if (m_check)
            m_check->cancel();
    });
}

void TForm2::optionsFollowEmulator()
{
    if (!emulatorOptions || !m_pageWanted)
        return;
    const QByteArray program = emulatorProgram();
    std::optional<AnswerCache::Entry> usage;
    // The page waits for the emulator to say which options are on/off: a guess would offer a
    // "-noNAME" it refuses.
    bool probed = false;
    if (FileIO::isExecutableFile(program)) {
        usage = m_launcher.answers.cached(program, EmulatorAnswers::Question::ShowUsage);
        probed = m_launcher.answers.cached(program, EmulatorAnswers::Question::Switches).has_value();
    }
    const std::optional<Vocabulary> words = program.isEmpty() ? std::nullopt : m_launcher.keptVocabulary(program);
    if (!usage || usage->status != 0 || !probed || !words || !words->isKnown())
        return;
    // The same answers as last time (each answer that arrives asks again): nothing to do.
    const QByteArray key = program + '\0' + QByteArray::number(qHash(usage->output)) + '\0'
                           + QByteArray::number(words->size()) + '\0' + QByteArray::number(qHash(words->onOffCandidates())) + QByteArray::number(int(words->switchesKnown()));
    if (key == m_optionsKey && m_extraRead)
        return;
    m_optionsKey = key;
    const QMap<QByteArray, QByteArray> values = emulatorOptions->values();
    emulatorOptions->setEmulator(Usage::fromShowUsage(usage->output), *words);
    if (!m_extraRead) {
        // The line as loaded: the switches naming the emulator's options go to the page. The
        // line written back is the same, so the command shown stays as it is.
        m_extraLoaded = ExtraCommands::read(fieldBytes("extra"), kindsOfPage());
        m_extraRead = true;
        const QScopedValueRollback<bool> loading(m_loading, true);
        setFieldBytes("extra", m_extraLoaded.userText());
        emulatorOptions->setValues(m_extraLoaded.options());
    } else {
        // Another emulator: the options it shares keep their values; the command follows.
        emulatorOptions->setValues(values);
        showCommand();
    }
}

ExtraCommands::Kinds TForm2::kindsOfPage() const
{
    return [page = emulatorOptions](QByteArrayView name) { return page->kind(name); };
}

QByteArray TForm2::extraLine() const
{
    if (!m_extraRead)
        return fieldBytes("extra");
    return ExtraCommands::write(m_extraLoaded, fieldBytes("extra"), emulatorOptions->values(), kindsOfPage());
}

void TForm2::checkPageOptions() const
{
    if (!emulatorOptions)
        return;
    const QMap<QByteArray, QByteArray> values = emulatorOptions->values();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        ExtraCommands::checkValue(it.key(), it.value());
}

void TForm2::checkWithEmulator()
{
    if (m_check)
        return; // one at a time
    checkPageOptions();
    const QByteArray program = emulatorProgram();
    if (!FileIO::isExecutableFile(program))
        throw CommandError(QStringLiteral("There is no emulator to ask: choose the M.A.M.E. executable first"));
    const Options::State s = state();
    const Launcher::Command c = m_launcher.preview(program, {}, Options::lineValue(s, Config::OptionString));
    const ProcessLimits::Values &limits = ProcessLimits::current();
    m_check = std::make_unique<ProcessCapture>();
    m_check->setErrorOutputMerged(true);
    ProcessCapture *run = m_check.get();
    connect(run, &Waitable::finished, this, [this, run] { checkEnded(run); });
    emulatorOptions->clearCheck();
    emulatorOptions->checkButton()->setEnabled(false);
    emulatorOptions->checkStrip()->showWork(QStringLiteral("Asking %1 -showconfig")
                                                .arg(Errors::pathText(PathRules::namePart(program))), 0, 0);
    run->start(program, c.arguments + QList<QByteArray>{"-showconfig"}, c.workingDirectory,
               {limits.vocabularyBytes, limits.vocabularyMs});
}

void TForm2::checkEnded(ProcessCapture *run)
{
    if (m_check.get() != run)
        return;
    emulatorOptions->checkStrip()->finish();
    emulatorOptions->checkButton()->setEnabled(true);
    const ProcessLimits::Values &limits = ProcessLimits::current();
    switch (run->end()) {
    case ProcessCapture::End::Exited:
    case ProcessCapture::End::Refused: {
        const std::optional<Vocabulary> words = m_launcher.keptVocabulary(emulatorProgram());
        const OptionCheck::Result result = OptionCheck::read(run->output(), [&](QByteArrayView name) {
            return words && words->value(name).has_value();
        });
        emulatorOptions->showCheck(result);
        break;
    }
    case ProcessCapture::End::Cancelled:
        emulatorOptions->clearCheck();
        break;
    case ProcessCapture::End::NotStarted:
        emulatorOptions->showCheckFailed(QStringLiteral("The emulator could not be started: %1")
                                             .arg(QString::fromLocal8Bit(std::strerror(run->error()))));
        break;
    default:
        emulatorOptions->showCheckFailed(QStringLiteral("The emulator gave no answer within %1 s and %2 KiB")
                                             .arg((limits.vocabularyMs + 999) / 1000)
                                             .arg(limits.vocabularyBytes / 1024));
        break;
    }
    m_check.release()->deleteLater();
}
