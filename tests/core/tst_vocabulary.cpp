#include "vocabulary.h"

#include "../fakemame/showconfig0251.h"

#include <QTest>

class TestVocabulary : public QObject {
    Q_OBJECT
private slots:
    void takes_data();
    void takes();
    void values_data();
    void values();
};

void TestVocabulary::takes_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<bool>("takes");
    const QByteArray real = ShowConfig0251;
    QTest::newRow("listed") << real << 0 << QByteArray("-rompath") << true;
    QTest::newRow("no, listed as 1") << real << 0 << QByteArray("-nomouse") << true;
    QTest::newRow("no, listed as 1.0") << real << 0 << QByteArray("-nogamma") << false;
    QTest::newRow("listed with no") << real << 0 << QByteArray("-noplugin") << true;
    QTest::newRow("no, twice") << real << 0 << QByteArray("-nonoplugin") << false;
    QTest::newRow("old switch") << real << 0 << QByteArray("-scanlines") << false;
    QTest::newRow("CR LF, tabs") << QByteArray("rompath\troms\r\n  window 0\r\n") << 0 << QByteArray("-nowindow") << true;
    // No vocabulary: every switch is taken.
    QTest::newRow("failed") << real << 1 << QByteArray("-scanlines") << true;
    QTest::newRow("no rompath") << QByteArray("inipath x\nwindow 0\n") << 0 << QByteArray("-scanlines") << true;
    QTest::newRow("rompath bare") << QByteArray("rompath\nwindow 0\n") << 0 << QByteArray("-scanlines") << true;
    QTest::newRow("rompath commented") << QByteArray("# rompath x\n") << 0 << QByteArray("-scanlines") << true;
}

void TestVocabulary::takes()
{
    QFETCH(QByteArray, output);
    QFETCH(int, status);
    QFETCH(QByteArray, word);
    QFETCH(bool, takes);
    const Vocabulary v = Vocabulary::fromShowConfig(output, status);
    QCOMPARE(v.takes(word), takes);
    QCOMPARE(v.size(), !v.isKnown() ? 0 : output == ShowConfig0251 ? 244 : 2);
}

void TestVocabulary::values_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<std::optional<QByteArray>>("value");
    QTest::addColumn<bool>("onOff");
    const QByteArray real = ShowConfig0251;
    QTest::newRow("path") << real << QByteArray("ctrlrpath") << std::optional<QByteArray>("/usr/share/games/mame/ctrlr")
                          << false;
    QTest::newRow("empty") << real << QByteArray("ctrlr") << std::optional<QByteArray>("") << false;
    QTest::newRow("on/off") << real << QByteArray("mouse") << std::optional<QByteArray>("1") << true;
    QTest::newRow("missing") << real << QByteArray("scanlines") << std::optional<QByteArray>() << false;
    QTest::newRow("no vocabulary, first line") << QByteArray("inipath \t a b \t\r\ninipath c\n") << QByteArray("inipath")
                                               << std::optional<QByteArray>("a b") << false;
}

void TestVocabulary::values()
{
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, name);
    QFETCH(std::optional<QByteArray>, value);
    QFETCH(bool, onOff);
    const Vocabulary v = Vocabulary::fromShowConfig(output, 0);
    QCOMPARE(v.value(name), value);
    QCOMPARE(v.isSwitch(name), onOff);
}

QTEST_GUILESS_MAIN(TestVocabulary)
#include "tst_vocabulary.moc"
