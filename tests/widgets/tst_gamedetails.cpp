#include "gamedetails.h"

#include "listxmlsample.h"
#include "romforge.h"
#include "snapshots.h"
#include "testutil.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

using TestUtil::ScratchDir;

class TestGameDetails : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void text_data();
    void text();
    void picture_data();
    void picture();
    void staleWorkDropped();
    void verifyButton();

private:
    std::shared_ptr<const Catalogue> m_catalogue;
};

// Every picture worked on has ended and told its result.
static void settle()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

static void writePng(const QByteArray &path, const QColor &colour)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(QString::fromUtf8(path), "PNG"));
}

void TestGameDetails::initTestCase()
{
    std::optional<RomForge::Read> read = RomForge::catalogueOf(ListXmlSample::full());
    QVERIFY(read);
    m_catalogue = std::make_shared<const Catalogue>(std::move(read->catalogue));
}

void TestGameDetails::text_data()
{
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<bool>("withCatalogue");
    QTest::addColumn<QString>("verdict");       // a verdict's summary; empty for none
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    using S = QStringList;
    QTest::newRow("parent") << QByteArray("puckman.zip") << true << QString()
        << S{"Puck Man (Japan set 1)\npuckman, 1980, Namco\n", "Clones: pacman", "Players: 2 players, joy",
             "Screen: raster, rotated 90°", "Driver: good, emulation good", "Source: pacman/pacman.cpp"}
        << S{"Clone of", "BIOS", "Notes", "ROM files"};
    QTest::newRow("clone") << QByteArray("pacman") << true << QString()
        << S{"Pac-Man (Midway)", "Clone of Puck Man (Japan set 1) (puckman)"} << S{"Clones:", "BIOS"};
    QTest::newRow("game on a BIOS, 7z") << QByteArray("KOF98.7z") << true << QString()
        << S{"The King of Fighters '98", "BIOS: Neo-Geo MV-6F (neogeo)", "4 buttons", "Notes: protection: imperfect"}
        << S{"Clone of"};
    QTest::newRow("BIOS") << QByteArray("neogeo.zip") << true << QString() << S{"A BIOS set"} << S{"Players", "Driver"};
    QTest::newRow("device") << QByteArray("z80") << true << QString() << S{"A device set"} << S{"Driver"};
    QTest::newRow("unknown") << QByteArray("nosuch.zip") << true << QString()
        << S{"nosuch\nThe emulator does not know nosuch.zip."} << S{"Driver"};
    QTest::newRow("notes, screens, disk") << QByteArray("area51.zip") << true << QString()
        << S{"sound: unemulated", "graphics: imperfect", "raster, 2 screens", "lightgun", "Needs a disk image",
             "Driver: preliminary, emulation preliminary"}
        << S{"rotated"};
    QTest::newRow("title kept plain") << QByteArray("tomjerry.zip") << true << QString()
        << S{"Tom & Jerry", "Atari & Co."} << S{"&amp;"};
    QTest::newRow("with verdict") << QByteArray("pacman.zip") << true << QStringLiteral("2 files missing")
        << S{"ROM files: 2 files missing\npacman.6e: missing"} << S{};
    QTest::newRow("no catalogue: the name") << QByteArray("pacman.zip") << false << QString()
        << S{"pacman\nThe emulator's catalogue is not read yet"} << S{"Pac-Man"};
    QTest::newRow("nothing selected") << QByteArray() << true << QString() << S{"No game selected."} << S{};
}

void TestGameDetails::text()
{
    QFETCH(QByteArray, set);
    QFETCH(bool, withCatalogue);
    QFETCH(QString, verdict);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    GameDetails pane;
    QCOMPARE(pane.objectName(), QStringLiteral("gamedetails"));
    if (withCatalogue)
        pane.setCatalogue(m_catalogue);
    RomAudit::Verdict v;
    v.summary = verdict;
    v.details = QStringLiteral("pacman.6e: missing");
    pane.showGame(set, verdict.isEmpty() ? nullptr : &v);
    const QString text = pane.text();
    for (const QString &p : present)
        QVERIFY2(text.contains(p), qPrintable(text));
    for (const QString &a : absent)
        QVERIFY2(!text.contains(a), qPrintable(text));
    QCOMPARE(pane.findChild<QLabel *>(QStringLiteral("detailstext"))->textFormat(), Qt::PlainText);
    settle();
}

// Pictures of machines "puckman" and "kof98" by the given files; the set shown; whose picture
// is on screen ("" for none, the where-looked text then).
void TestGameDetails::picture_data()
{
    QTest::addColumn<QList<QByteArray>>("files");
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<QByteArray>("shownOf");
    using L = QList<QByteArray>;
    QTest::newRow("its own") << L{"puckman.png", "pacman/0000.png"} << QByteArray("pacman.zip") << QByteArray("pacman");
    QTest::newRow("clone uses its parent's") << L{"puckman.png"} << QByteArray("pacman.zip") << QByteArray("puckman");
    QTest::newRow("from snap.zip") << L{"snap.zip"} << QByteArray("kof98.zip") << QByteArray("kof98");
    QTest::newRow("not the BIOS's") << L{"neogeo.png"} << QByteArray("kof98.zip") << QByteArray();
    QTest::newRow("a damaged PNG is none") << L{"bad:puckman.png"} << QByteArray("puckman") << QByteArray();
    QTest::newRow("unknown set by its name") << L{"nosuch.png"} << QByteArray("nosuch.zip") << QByteArray("nosuch");
}

void TestGameDetails::picture()
{
    QFETCH(QList<QByteArray>, files);
    QFETCH(QByteArray, set);
    QFETCH(QByteArray, shownOf);
    ScratchDir root;
    for (const QByteArray &f : files) {
        if (f == "snap.zip") {
            writePng(root.file("kof98.png.tmp"), Qt::red);
            QVERIFY(RomForge::writeZip(root.file("snap.zip"), {{"kof98.png", TestUtil::readFile(root.file("kof98.png.tmp"))}}));
        } else if (f.startsWith("bad:")) {
            TestUtil::writeFile(root.file(f.mid(4)), "\x89PNG\r\n\x1a\n not really");
        } else {
            if (f.contains('/'))
                root.mkdir(f.left(f.indexOf('/')));
            writePng(root.file(f), Qt::blue);
        }
    }
    GameDetails pane;
    pane.resize(320, 400);
    pane.setCatalogue(m_catalogue);
    pane.setSnapshotFolders({root.file("none"), root.path()});
    QSignalSpy shown(&pane, &GameDetails::pictureShown);
    pane.showGame(set, nullptr);
    settle();
    QCOMPARE(pane.hasPicture(), !shownOf.isEmpty());
    QCOMPARE(pane.pictureOf(), shownOf);
    QCOMPARE(shown.count(), shownOf.isEmpty() ? 0 : 1);
    const QLabel *label = pane.findChild<QLabel *>(QStringLiteral("snapshot"));
    if (shownOf.isEmpty())
        QVERIFY2(label->text().startsWith("No snapshot: looked for "), qPrintable(label->text()));
    else
        QVERIFY(!label->pixmap().isNull());
}

void TestGameDetails::staleWorkDropped()
{
    ScratchDir root;
    for (const char *name : {"puckman", "kof98", "area51", "tomjerry", "18w"})
        writePng(root.file(QByteArray(name) + ".png"), Qt::green);
    GameDetails pane;
    pane.resize(320, 400);
    pane.setCatalogue(m_catalogue);
    pane.setSnapshotFolders({root.path()});
    QSignalSpy shown(&pane, &GameDetails::pictureShown);
    // Arrow keys held down: fifty selections before the event loop runs, the last one kept.
    const QByteArray sets[] = {"puckman.zip", "kof98.zip", "area51.zip", "tomjerry.zip", "18w.zip"};
    for (int i = 0; i < 50; ++i)
        pane.showGame(sets[i % 5], nullptr);
    pane.showGame("kof98.zip", nullptr);
    settle();
    QCOMPARE(shown.count(), 1);
    QCOMPARE(pane.pictureOf(), QByteArray("kof98"));
    // A picture that arrives after another game was selected is not shown.
    pane.showGame("area51.zip", nullptr);
    pane.showGame("neogeo.zip", nullptr);
    settle();
    QCOMPARE(shown.count(), 1);
    QVERIFY(!pane.hasPicture());
}

void TestGameDetails::verifyButton()
{
    GameDetails pane;
    pane.setCatalogue(m_catalogue);
    QSignalSpy asked(&pane, &GameDetails::verifyRequested);
    auto *verify = pane.findChild<QPushButton *>(QStringLiteral("verify"));
    QVERIFY(!verify->accessibleName().isEmpty());
    QCOMPARE(verify->focusPolicy(), Qt::StrongFocus);
    for (const auto &[set, enabled] : {std::pair<QByteArray, bool>{"nosuch.zip", false}, {"z80", false}, {"PACMAN.ZIP", true}}) {
        pane.showGame(set, nullptr);
        QCOMPARE(verify->isEnabled(), enabled);
    }
    verify->click();
    QCOMPARE(asked.count(), 1);
    QCOMPARE(asked.at(0).at(0).toByteArray(), QByteArray("pacman"));
    settle();
}

QTEST_MAIN(TestGameDetails)
#include "tst_gamedetails.moc"
