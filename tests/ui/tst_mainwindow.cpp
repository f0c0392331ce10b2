#include "configeditor.h"
#include "application.h"
#include "fileio.h"
#include "filelistbox.h"
#include "scriptedmodals.h"
#include "scene.h"
#include "testutil.h"
#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QHelpEvent>
#include <QTimer>
#include <QToolButton>

using TestUtil::ScratchDir;

namespace {

// Closes each editor that opens while it lives, and counts them.
struct EditorCounter : QObject {
    int opened = 0;
    EditorCounter() { qApp->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<TForm2 *>(watched)) {
            ++opened;
            QTimer::singleShot(0, static_cast<QWidget *>(watched), &QWidget::close);
        }
        return false;
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsCarryTheirNames();
    void listsConfigurationsOnly();
    void selectionShowsDescription_data();
    void selectionShowsDescription();
    void refreshClearsSelectionButKeepsLines();
    void firstItemSelectsAfterFocus();
    void deleteAsksOnceAndDeletes();
    void deleteDeclinedKeepsFile();
    void deleteOfVanishedFileDoesNothing();
    void initialBuffers();
    void keysAndAnEmptyFolder();

private:
    void select(const QByteArray &name);
    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<TestUtil::CurrentDir> m_cwd;
    std::unique_ptr<ScriptedModals> m_modals;
    std::unique_ptr<ApplicationWindows> m_app;
    TForm1 *form() { return m_app->Form1.get(); }
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<ScratchDir>();
    TestUtil::writeFile(m_dir->file("arcade.tvo"), TestUtil::crlf({"Arcade classics", "pacman.zip"}));
    TestUtil::writeFile(m_dir->file("Beta.TVO"), TestUtil::crlf({"Caf\xe9 games"}));
    TestUtil::writeFile(m_dir->file("empty.tvo"), "");
    m_dir->mkdir("folder.tvo");
    TestUtil::writeFile(m_dir->file("readme.txt"), "not a configuration");
    m_cwd = std::make_unique<TestUtil::CurrentDir>(m_dir->path());
    m_modals = std::make_unique<ScriptedModals>();
    m_app = std::make_unique<ApplicationWindows>();
}

void TestMainWindow::cleanup()
{
    m_app.reset();
    QCOMPARE(m_modals->pendingAnswers(), 0);
    m_modals.reset();
    m_cwd.reset();
    m_dir.reset();
}

void TestMainWindow::select(const QByteArray &name)
{
    const int row = int(form()->lista->names().indexOf(name));
    QVERIFY2(row >= 0, name.constData());
    form()->lista->setItemIndex(row);
}

void TestMainWindow::controlsCarryTheirNames()
{
    TForm1 *f = form();
    QCOMPARE(f->windowTitle(), QStringLiteral("M.A.M.E Trelvo"));
    for (const char *name : {"lista", "StatusBar1", "Panel2", "Label1", "SpeedButton1", "SpeedButton5",
                             "File1", "Configuration1", "Help1", "PopupMenu1"})
        QVERIFY2(f->findChild<QObject *>(QLatin1String(name)), name);
    const QList<QPair<const char *, const char *>> actions = {
        {"NewConfiguration1", "New Configuration"}, {"CreateaAutoExcutable1", "Create an Auto Executable File"},
        {"Refresh1", "Refresh"}, {"Exit1", "Exit"}, {"RunConfiguration1", "Run Configuration"},
        {"ImportConfiguration1", "Edit configuration"}, {"DeleteConfiguration1", "Delete Configuration"},
        {"TechnicalSupport1", "Technical Support"}, {"AboutTVO1", "About TVO"},
        {"AboutQuarzel1", "About Quarzel"}, {"AboutMAME1", "About MAME"}, {"QUICKConfiguration1", "Trelvo!"},
        {"RunConfiguration2", "Run Configuration"}, {"Editconfiguration1", "Edit configuration"},
        {"DeleteConfiguration2", "Delete Configuration"}, {"Refresh2", "Refresh"}};
    for (const auto &[name, caption] : actions) {
        auto *a = f->findChild<QAction *>(QLatin1String(name));
        QVERIFY2(a, name);
        QCOMPARE(a->text(), QString::fromUtf8(caption));
    }
    for (const char *name : {"N1", "N3", "N4", "N5"})
        QVERIFY(f->findChild<QAction *>(QLatin1String(name))->isSeparator());
    QCOMPARE(f->SpeedButton4->toolTip(), QStringLiteral("DELETE CONFIGURATION"));
    QCOMPARE(f->Label1->text(), QStringLiteral("Final 1"));
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    QCOMPARE(f->Panel2->width(), 46);
    QCOMPARE(f->centralWidget()->height() + f->StatusBar1->height(), 298);
    QCOMPARE(f->width(), 336);
    QCOMPARE(f->StatusBar1->height(), 19);
}

void TestMainWindow::listsConfigurationsOnly()
{
    QCOMPARE(form()->lista->names(), (QList<QByteArray>{"arcade.tvo", "Beta.TVO", "empty.tvo"}));
    QCOMPARE(form()->lista->itemIndex(), -1);
    QCOMPARE(form()->statusText(), QString());
    QVERIFY(form()->selectedLines().isEmpty());
}

void TestMainWindow::selectionShowsDescription_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("description") << TestUtil::crlf({"My games", "x"}) << QStringLiteral("My games") << QString();
    QTest::newRow("latin-1") << TestUtil::crlf({"Jogos cl\xe1ssicos"}) << QStringLiteral("Jogos clássicos") << QString();
    QTest::newRow("utf-8") << TestUtil::crlf({"Jogos cl\xc3\xa1ssicos"}) << QStringLiteral("Jogos clássicos")
                           << QString();
    QTest::newRow("empty first line") << TestUtil::crlf({"", "x"}) << QString() << QString();
    QTest::newRow("empty file") << QByteArray() << QString() << QStringLiteral("List index out of bounds (0)");
    QTest::newRow("nul first") << QByteArray("\0abc", 4) << QString() << QStringLiteral("List index out of bounds (0)");
    QTest::newRow("binary") << QByteArray("\x01\x02\xff\r\r\n") << QStringLiteral("\x01\x02ÿ") << QString();
    QTest::newRow("lone crs") << QByteArray("one\rtwo\r") << QStringLiteral("one") << QString();
    QTest::newRow("markup, shown as it is") << TestUtil::crlf({"<h1>Big</h1> & <b>bold"})
                                            << QStringLiteral("<h1>Big</h1> & <b>bold") << QString();
    QTest::newRow("longer than the panel: its start") << TestUtil::crlf({QByteArray(5000, 'd')})
                                                      << QString(4096, QLatin1Char('d')) << QString();
}

void TestMainWindow::selectionShowsDescription()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, status);
    QFETCH(QString, error);
    TestUtil::writeFile(m_dir->file("arcade.tvo"), content);
    form()->setStatusText(QStringLiteral("before"));
    select("arcade.tvo");
    QCOMPARE(m_modals->errors(), error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(form()->statusText(), error.isEmpty() ? status : QStringLiteral("before"));
    QCOMPARE(TestUtil::readFile(m_dir->file("arcade.tvo")), content); // selecting changes nothing
    // The panel's tooltip holds what it shows, whole, and shows it as plain text.
    auto *panel = form()->findChild<QLabel *>("StatusBar1Panel");
    QCOMPARE(panel->toolTip(), form()->statusText());
    form()->show();
    QVERIFY(QTest::qWaitForWindowExposed(form()));
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), panel->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(panel, &help);
    QTextDocument tip;
    tip.setHtml(QToolTip::text());
    QCOMPARE(QToolTip::isVisible() ? tip.toPlainText() : QString(), form()->statusText());
    QToolTip::hideText();
}

void TestMainWindow::refreshClearsSelectionButKeepsLines()
{
    select("arcade.tvo");
    QCOMPARE(form()->statusText(), QStringLiteral("Arcade classics"));
    TestUtil::writeFile(m_dir->file("new.tvo"), "x");
    {
        TestUtil::CurrentDir elsewhere("/"); // refresh makes the configuration directory current again
        form()->Refresh1->trigger();
        QCOMPARE(FileIO::currentDirectory(), m_dir->path());
    }
    QCOMPARE(form()->lista->itemIndex(), -1);
    QCOMPARE(form()->statusText(), QString());
    QCOMPARE(form()->selectedLines().at(1), QByteArray("pacman.zip"));
    QVERIFY(form()->lista->names().contains("new.tvo"));
    form()->SpeedButton5->click(); // the toolbar's refresh
    QCOMPARE(form()->lista->itemIndex(), -1);
}

void TestMainWindow::firstItemSelectsAfterFocus()
{
    // With the focus in the list and nothing selected, no row looks current (Enter would run
    // nothing); the arrow key selects the first row, and Enter then runs what it shows.
    form()->show();
    QVERIFY(QTest::qWaitForWindowActive(form()));
    QVERIFY(form()->lista->hasFocus());
    QVERIFY(!form()->lista->currentIndex().isValid());
    QCOMPARE(form()->statusText(), QString());
    // Tab and Shift+Tab go round every control, the list included, and each shows that it has
    // the focus: it looks otherwise than with the focus elsewhere.
    TForm1 *f = form();
    const QList<QWidget *> cycle{f->lista, f->SpeedButton1, f->SpeedButton2, f->SpeedButton3, f->SpeedButton4,
                                 f->SpeedButton5};
    for (int i = 1; i <= cycle.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), cycle.at(i % cycle.size()));
    }
    for (int i = cycle.size() - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), cycle.at(i));
    }
    for (QWidget *w : cycle) {
        w->setFocus(Qt::TabFocusReason);
        const QImage focused = w->grab().toImage();
        (w == f->lista ? static_cast<QWidget *>(f->SpeedButton1) : f->lista)->setFocus(Qt::TabFocusReason);
        QVERIFY2(w->grab().toImage() != focused, qPrintable(w->objectName()));
    }
    f->lista->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form()->lista, Qt::Key_Down);
    QCOMPARE(form()->lista->selectedName(), QByteArray("arcade.tvo"));
    QCOMPARE(form()->statusText(), QStringLiteral("Arcade classics"));
}

void TestMainWindow::deleteAsksOnceAndDeletes()
{
    form()->show();
    QVERIFY(QTest::qWaitForWindowActive(form()));
    select("arcade.tvo");
    m_modals->answerQuestion(true);
    QTest::keyClick(form()->lista, Qt::Key_Delete);
    QCOMPARE(m_modals->texts(ScriptedModals::Kind::Question).size(), 1);
    QVERIFY(!FileIO::exists(m_dir->file("arcade.tvo")));
    QCOMPARE(form()->lista->names(), (QList<QByteArray>{"Beta.TVO", "empty.tvo"}));
    // The row that took its place is selected, so the keyboard goes on from there.
    QCOMPARE(form()->lista->selectedName(), QByteArray("Beta.TVO"));
    QCOMPARE(form()->statusText(), QStringLiteral("Caf\u00e9 games"));
}

void TestMainWindow::deleteDeclinedKeepsFile()
{
    select("empty.tvo"); // the last row
    m_modals->clear();
    m_modals->answerQuestion(false);
    form()->SpeedButton4->click();
    QVERIFY(FileIO::exists(m_dir->file("empty.tvo")));
    QCOMPARE(form()->lista->selectedName(), QByteArray("empty.tvo")); // refreshed, then selected again

    // A delete that fails says which file and why, and the list is read again.
    select("arcade.tvo");
    const auto previous = FileIO::setFaultInjector(
        [](FileIO::WriteStep step, const QByteArray &) { return step == FileIO::WriteStep::Remove; });
    m_modals->clear();
    m_modals->answerQuestion(true);
    form()->SpeedButton4->click();
    FileIO::setFaultInjector(previous);
    QVERIFY(FileIO::exists(m_dir->file("arcade.tvo")));
    QCOMPARE(m_modals->errors(),
             QStringList{"Cannot delete file " + QString::fromUtf8(m_dir->file("arcade.tvo")) + ": Input/output error."});
    QCOMPARE(form()->lista->selectedName(), QByteArray("arcade.tvo"));
}

void TestMainWindow::deleteOfVanishedFileDoesNothing()
{
    select("arcade.tvo");
    QVERIFY(FileIO::remove(m_dir->file("arcade.tvo")));
    form()->DeleteConfiguration1->trigger();
    QVERIFY(m_modals->shown.isEmpty());
    QCOMPARE(form()->lista->itemIndex(), 0); // not refreshed
    form()->lista->setItemIndex(-1);
    form()->DeleteConfiguration1->trigger(); // nothing selected
    QVERIFY(m_modals->shown.isEmpty());
}

void TestMainWindow::initialBuffers()
{
    QCOMPARE(form()->quickLaunchLines().count(), 52);
    QCOMPARE(form()->exportLines().lines(), QList<QByteArray>{"Memo2"});
    QVERIFY(!form()->editsSelected());
    QVERIFY(form()->editedFile().isEmpty());
    QCOMPARE(form()->configurationDirectory(), m_dir->path());
}

void TestMainWindow::keysAndAnEmptyFolder()
{
    // Shift+Enter edits the selected configuration; a name beginning with "." is listed too.
    TestUtil::writeFile(m_dir->file(".dotted.tvo"), TestUtil::crlf(TestUtil::configLines(54)));
    form()->Refresh1->trigger();
    QCOMPARE(form()->lista->names().first(), QByteArray(".dotted.tvo"));
    form()->show();
    QVERIFY(QTest::qWaitForWindowActive(form()));
    select(".dotted.tvo");
    bool opened = false;
    TestUtil::whenShown<TForm2>([&opened](TForm2 &editor) {
        opened = true;
        editor.close();
    });
    QTest::keyClick(form()->lista, Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(opened);
    QVERIFY(form()->editsSelected());
    QCOMPARE(form()->editedFile(), QByteArray(".dotted.tvo"));
    // Held down, Shift+Enter and Del act once: the repeats that follow open and ask nothing.
    form()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form()));
    select(".dotted.tvo");
    {
        EditorCounter editors;
        QSignalSpy edits(form()->ImportConfiguration1, &QAction::triggered);
        QSignalSpy deletes(form()->DeleteConfiguration1, &QAction::triggered);
        for (int i = 0; i < 3; ++i) {
            QTest::simulateEvent(form()->lista, true, Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"), true);
            QTest::simulateEvent(form()->lista, true, Qt::Key_Delete, Qt::NoModifier, QString(), true);
        }
        QCOMPARE(editors.opened, 0);
        QCOMPARE(edits.count() + deletes.count(), 0);
        QVERIFY(FileIO::exists(m_dir->file(".dotted.tvo")));
    }

    // With no configuration at all, Run and Delete do nothing.
    for (const QByteArray &name : form()->lista->names())
        QVERIFY(FileIO::remove(m_dir->file(name)));
    form()->Refresh1->trigger();
    QCOMPARE(form()->lista->count(), 0);
    m_modals->clear();
    QTest::keyClick(form()->lista, Qt::Key_Return);
    QTest::keyClick(form()->lista, Qt::Key_Delete);
    QVERIFY(m_modals->shown.isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
