// The Information buttons' texts: every one present, whole, with its leading blank.
#include "helptexts.h"
#include "options.h"

#include <QtTest>

class TestHelpTexts : public QObject {
    Q_OBJECT
private slots:
    void lengthAndLeadingBlank_data();
    void lengthAndLeadingBlank();
    void oneTextPerInformationButton();
};

void TestHelpTexts::lengthAndLeadingBlank_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("leadingBlank");
    const struct { const char *button; int length; bool blank; } rows[] = {
        {"Button32", 132, false}, {"resolutioninf", 148, false}, {"strechinf", 89, true},
        {"flipinf", 13, false}, {"colorsinf", 205, false}, {"gammainf", 40, false},
        {"scanlinesinf", 164, true}, {"videoinf", 24, false}, {"rotateinf", 135, false},
        {"Button1", 165, false}, {"soundcardinf", 19, false}, {"Button25", 240, false},
        {"stereoinf", 64, false}, {"hotrodinf", 87, false}, {"hotrodseinf", 90, false},
        {"steadkeyinf", 203, false}, {"mouseinf", 30, false}, {"tweakinf", 155, true},
        {"alwayssincedinf", 220, false}, {"tripplebufferinf", 187, false}, {"vsyncinf", 162, false},
        {"antialiasinginf", 35, true}, {"interlaceinf", 126, true}, {"ntscinf", 113, true},
        {"Button21", 40, false}, {"skipinf", 233, false}, {"centerinf", 135, true},
        {"audiosamplerateinf", 213, false}, {"frameskipinf", 212, true}, {"beaminf", 97, false},
        {"flickerinf", 111, false}, {"Vgafrequenceinf", 255, false}, {"loginf", 53, false},
    };
    for (const auto &r : rows)
        QTest::addRow("%s", r.button) << QByteArray(r.button) << r.length << r.blank;
}

void TestHelpTexts::lengthAndLeadingBlank()
{
    QFETCH(QByteArray, button);
    QFETCH(int, length);
    QFETCH(bool, leadingBlank);
    const QString text = HelpTexts::text(button);
    QCOMPARE(text.size(), length); // characters, not bytes
    QCOMPARE(text.startsWith(QLatin1Char(' ')), leadingBlank);
    QVERIFY(!text.startsWith(QLatin1String("  ")));
    QVERIFY(!text.endsWith(QLatin1Char(' ')));
    QVERIFY(!text.contains(QLatin1Char('\'')));
}

void TestHelpTexts::oneTextPerInformationButton()
{
    // The catalogue's buttons, in its order, are the table's rows in the same order.
    QList<QByteArray> fromCatalogue;
    for (const Options::Box &b : Options::Boxes)
        if (*b.info)
            fromCatalogue << b.info;
    QList<QByteArray> fromTable;
    for (const HelpTexts::Entry &e : HelpTexts::Entries)
        fromTable << e.button;
    QCOMPARE(fromTable, fromCatalogue);
    QVERIFY(HelpTexts::text("nosuch").isEmpty());
    QVERIFY(HelpTexts::text("scanlinesinf").contains(QLatin1String("\"authentic\"")));
    QVERIFY(HelpTexts::text("tripplebufferinf").contains(QStringLiteral("doesn\u00B4t")));
}

QTEST_GUILESS_MAIN(TestHelpTexts)
#include "tst_helptexts.moc"
