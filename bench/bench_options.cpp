#include "bench_options.h"

#include "bench_support.h"
#include "configeditor.h"
#include "fileio.h"
#include "launcher.h"
#include "mainwindow.h"
#include "application.h"
#include "optionspage.h"
#include "pageoptions.h"
#include "usage.h"
#include "vocabulary.h"
#include "../fakemame/showconfig0251.h"
#include "../fakemame/showusage0251.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {


// The page in a notebook as the editor holds it, with 0.251's answers, the other pages' options
// fixed; shown on the first page, so that the page itself is not built yet.
struct Notebook {
    QTabWidget tabs;
    OptionsPage *page = new OptionsPage;
    Notebook()
    {
        Vocabulary words = Vocabulary::fromShowConfig(QByteArray(ShowConfig0251), 0);
        words.setSwitches(words.onOffCandidates().join('\n'));
        page->setEmulator(Usage::fromShowUsage(QByteArray(ShowUsage0251)), words);
        QMap<QByteArray, QString> fixed;
        for (auto it = PageOptions::all().constBegin(); it != PageOptions::all().constEnd(); ++it)
            fixed.insert(it.key(), QStringLiteral("Set on the Video Configuratin page"));
        page->setFixed(fixed);
        tabs.addTab(new QWidget, QStringLiteral("first"));
        tabs.addTab(page, QStringLiteral("Emulator Options"));
        tabs.resize(546, 365);
        showUntilPainted(&tabs, &tabs);
    }
};

// The page shown: its tab chosen, until the page has painted.
void showPage(Notebook &n)
{
    PaintWatch watch;
    n.page->installEventFilter(&watch);
    n.tabs.setCurrentIndex(1);
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    n.page->removeEventFilter(&watch);
}

// Opening the editor on a configuration of Debian's emulator, until it has painted, with the
// emulator's answers kept; nothing when the emulator is not installed.
std::optional<std::pair<double, double>> editorOpening(int runs)
{
    const QByteArray emulator = DebianMame;
    if (!FileIO::isExecutableFile(emulator))
        return std::nullopt;
    QList<QByteArray> lines(54);
    lines[0] = "options";
    lines[1] = "pong.zip";
    lines[39] = "-autoframeskip -prescale 2 -bogus";
    lines[40] = emulator;
    const BenchScene scene(lines);
    const QList<QByteArray> saved = LineBuffer::split(FileIO::read(scene.root + "/configs/pong.tvo", 1 << 20).value_or(QByteArray()));
    std::pair<double, double> best{1e300, 1e300};
    {
        ApplicationWindows windows;
        TForm1 &main = *windows.Form1;
        auto open = [&](bool withPage) {
            QElapsedTimer t;
            t.start();
            TForm2 editor({main.configurationDirectory(), QByteArray("pong.tvo"), main.launcher(), withPage}, &main);
            editor.load(saved);
            showUntilPainted(&editor, &editor);
            return t.nsecsElapsed() / 1e6;
        };
        // The emulator's answers asked once, then kept.
        for (auto q : {EmulatorAnswers::Question::ShowConfig, EmulatorAnswers::Question::ShowUsage,
                       EmulatorAnswers::Question::Switches})
            main.launcher().answers.ask(emulator, q);
        for (int i = 0; i < runs; ++i) {
            best.first = std::min(best.first, open(true));
            best.second = std::min(best.second, open(false));
        }
    }
    return best;
}

} // namespace

std::vector<CatalogueRow> optionsRows(int runs)
{
    std::vector<CatalogueRow> rows;
    // The first showing builds the page: best of several fresh notebooks.
    double built = 1e300;
    for (int i = 0; i < runs; ++i) {
        Notebook n;
        built = std::min(built, msOf([&] { showPage(n); }));
    }
    rows.push_back({"Emulator Options page built for 270 options, first showing (goal 50 ms)", built, 50.0, 1.0});

    // Find, a key at a time, each keystroke until the page has painted again.
    Notebook n;
    showPage(n);
    std::vector<double> keys;
    for (int round = 0; round < 3; ++round)
        for (const char *word : {"frameskip", "video", "path", "bgfx"}) {
            QString typed;
            for (const char *c = word; *c; ++c) {
                typed += QLatin1Char(*c);
                keys.push_back(msOf([&] {
                    PaintWatch watch;
                    n.page->installEventFilter(&watch);
                    n.page->findField()->setText(typed);
                    n.page->update();
                    while (!watch.painted)
                        QCoreApplication::processEvents(QEventLoop::AllEvents);
                    n.page->removeEventFilter(&watch);
                }));
            }
            keys.push_back(msOf([&] {
                n.page->findField()->clear();
                QCoreApplication::processEvents();
            }));
        }
    rows.push_back({"one Find keystroke over those options, to the repaint (goal 16 ms)", medianOf(keys), 16.0, 1.0});

    if (const auto opened = editorOpening(runs))
        rows.push_back({"opening the editor on a configuration of Debian's mame, with the page and without",
                        opened->first, opened->second, 1.1});
    else
        std::printf("opening the editor: not measured, Debian's mame is not installed\n");
    return rows;
}
