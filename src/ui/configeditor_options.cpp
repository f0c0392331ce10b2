// The "Emulator Options" page in the editor: built for the emulator in the emulator field once it
// has said what it has, its options read from line 39 and written back into it.
#include "configeditor.h"

#include "errors.h"
#include "fileio.h"
#include "guard.h"
#include "launcher.h"
#include "optionspage.h"
#include "pageoptions.h"

#include <QLineEdit>
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
}

void TForm2::optionsFollowEmulator()
{
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
    const QMap<QByteArray, QByteArray> values = emulatorOptions->values();
    emulatorOptions->setEmulator(Usage::fromShowUsage(usage->output), *words);
    if (!m_extraRead) {
        // The line as loaded: the switches naming the emulator's options go to the page.
        m_extraLoaded = ExtraCommands::read(fieldBytes("extra"), kindsOfPage());
        m_extraRead = true;
        {
            const QScopedValueRollback<bool> loading(m_loading, true);
            setFieldBytes("extra", m_extraLoaded.userText());
            emulatorOptions->setValues(m_extraLoaded.options());
        }
    } else {
        emulatorOptions->setValues(values);
    }
    followChanges();
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
    const QMap<QByteArray, QByteArray> values = emulatorOptions->values();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        ExtraCommands::checkValue(it.key(), it.value());
}
