#include "snapshots.h"

#include "romforge.h"
#include "testutil.h"

#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>

using TestUtil::ScratchDir;

class TestSnapshots : public QObject {
    Q_OBJECT
private slots:
    void folders_data();
    void folders();
    void find_data();
    void find();
    void readIsBounded();
};

void TestSnapshots::folders_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QList<QByteArray>>("expected");
    using L = QList<QByteArray>;
    QTest::newRow("debian's") << QByteArray("$HOME/.mame/snap") << L{"/home/u/.mame/snap"};
    QTest::newRow("braces") << QByteArray("${HOME}/snap;${SNAPS}x") << L{"/home/u/snap", "/work/game/pics/x"};
    QTest::newRow("unset is empty") << QByteArray("$NOPE/snap") << L{"/snap"};
    QTest::newRow("tilde") << QByteArray("~/snap;~") << L{"/home/u/snap", "/home/u"};
    QTest::newRow("tilde inside stays") << QByteArray("a~/b") << L{"/work/game/a~/b"};
    QTest::newRow("relative from working dir") << QByteArray("snap;./other/") << L{"/work/game/snap", "/work/game/./other"};
    QTest::newRow("empty pieces, blanks, twice") << QByteArray(";  /s ;;/s;") << L{"/s"};
    QTest::newRow("lone dollar, unclosed brace") << QByteArray("/a$/b;/c${HOME") << L{"/a$/b", "/c${HOME"};
    QTest::newRow("nothing") << QByteArray("") << L{};
}

void TestSnapshots::folders()
{
    QFETCH(QByteArray, value);
    QFETCH(QList<QByteArray>, expected);
    const auto environment = [](QByteArrayView name) -> QByteArray {
        if (name == "HOME")
            return "/home/u";
        if (name == "SNAPS")
            return "pics/";
        return {};
    };
    QCOMPARE(Snapshots::folders(value, "/work/game", environment), expected);
}

// Files under folders "a" and "b" (each later one newer than the one before), "Z/snap.zip:M" for
// a member M of a zip; the machine looked for along {a, b}; where it is found ("" for nowhere).
void TestSnapshots::find_data()
{
    QTest::addColumn<QList<QByteArray>>("files");
    QTest::addColumn<QByteArray>("machine");
    QTest::addColumn<QByteArray>("expected");
    using L = QList<QByteArray>;
    const L all{"a/pacman/0003.png", "a/pacman/0000.png", "a/snap.zip:pacman.png", "a/pacman.png"};
    QTest::newRow("name.png first") << all << QByteArray("pacman") << QByteArray("a/pacman.png");
    QTest::newRow("then 0000.png") << all.mid(0, 3) << QByteArray("pacman") << QByteArray("a/pacman/0000.png");
    QTest::newRow("then the newest in the folder")
        << L{"a/pacman/0009.png", "a/pacman/0002.png", "a/pacman/notes.txt", "a/snap.zip:pacman.png"}
        << QByteArray("pacman") << QByteArray("a/pacman/0002.png");
    QTest::newRow("then snap.zip") << L{"a/pacman/x.txt", "a/snap.zip:pacman.png"} << QByteArray("pacman")
                                   << QByteArray("a/snap.zip:pacman.png");
    QTest::newRow("folders in order") << L{"b/pacman.png", "a/snap.zip:pacman.png"} << QByteArray("pacman")
                                      << QByteArray("a/snap.zip:pacman.png");
    QTest::newRow("second folder") << L{"b/pacman.png", "a/snap.zip:galaga.png"} << QByteArray("pacman")
                                   << QByteArray("b/pacman.png");
    QTest::newRow("a directory named .png is none") << L{"a/pacman.png/0000.png"} << QByteArray("pacman") << QByteArray();
    QTest::newRow("nowhere") << L{"a/galaga.png"} << QByteArray("pacman") << QByteArray();
    QTest::newRow("hostile: dot dot") << L{"a/x.png", "x.png"} << QByteArray("../x") << QByteArray();
    QTest::newRow("hostile: slash") << L{"a/b/c.png"} << QByteArray("b/c") << QByteArray();
    QTest::newRow("hostile: zip member with slash") << L{"a/snap.zip:../x.png"} << QByteArray("../x") << QByteArray();
    QTest::newRow("hostile: hidden") << L{"a/..png"} << QByteArray(".") << QByteArray();
}

void TestSnapshots::find()
{
    QFETCH(QList<QByteArray>, files);
    QFETCH(QByteArray, machine);
    QFETCH(QByteArray, expected);
    ScratchDir root;
    QMap<QByteArray, QList<RomForge::File>> zips;
    qint64 when = 1'600'000'000;
    for (const QByteArray &f : files) {
        if (const qsizetype colon = f.indexOf(':'); colon > 0) {
            zips[root.file(f.left(colon))].append({f.mid(colon + 1), "png of " + f});
            continue;
        }
        QVERIFY(FileIO::makeDirectories(root.file(f).left(root.file(f).lastIndexOf('/'))));
        TestUtil::writeFile(root.file(f), "png of " + f);
        const struct timespec times[2] = {{when, 0}, {when, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, root.file(f).constData(), times, 0), 0);
        ++when;
    }
    for (auto z = zips.cbegin(); z != zips.cend(); ++z) {
        FileIO::makeDirectories(z.key().left(z.key().lastIndexOf('/')));
        QVERIFY(RomForge::writeZip(z.key(), z.value()));
    }
    const QList<QByteArray> folders{root.file("a"), root.file("b")};
    const std::optional<Snapshots::Picture> found = Snapshots::find(folders, machine);
    if (expected.isEmpty()) {
        QVERIFY2(!found, found ? found->file.constData() : "");
        QVERIFY(Snapshots::whereLooked(folders, machine).startsWith("No snapshot"));
        return;
    }
    QVERIFY(found);
    const QByteArray where = found->file.mid(root.path().size() + 1) + (found->entry.isEmpty() ? "" : ":" + found->entry);
    QCOMPARE(where, expected);
    QCOMPARE(Snapshots::read(*found), "png of " + expected);
}

void TestSnapshots::readIsBounded()
{
    ScratchDir root;
    TestUtil::writeFile(root.file("big.png"), QByteArray(1000, 'x'));
    QVERIFY(RomForge::writeZip(root.file("snap.zip"), {{"big.png", QByteArray(1000, 'x')}}));
    for (const Snapshots::Picture &p : {Snapshots::Picture{root.file("big.png"), {}}, Snapshots::Picture{root.file("snap.zip"), "big.png"}}) {
        QCOMPARE(Snapshots::read(p, 1000).size(), 1000);
        QVERIFY(Snapshots::read(p, 999).isEmpty());
    }
    QVERIFY(Snapshots::read({root.file("snap.zip"), "other.png"}).isEmpty());
    QVERIFY(Snapshots::read({root.file("none.png"), {}}).isEmpty());
    QCOMPARE(Snapshots::whereLooked({"/h/snap", "/w/snap"}, "pacman"),
             QStringLiteral("No snapshot: looked for pacman.png in /h/snap, /w/snap"));
}

QTEST_GUILESS_MAIN(TestSnapshots)
#include "tst_snapshots.moc"
