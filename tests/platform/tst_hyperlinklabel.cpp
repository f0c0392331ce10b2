#include "hyperlinklabel.h"
#include "scriptedmodals.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTest>

namespace {

// Answers the desktop's "open" and the clipboard for one test, recording what was asked.
struct FakeDesktop {
    FakeDesktop()
    {
        previousOpener = THyperLink::setOpener([this](const QString &a) {
            opened << a;
            return openSucceeds;
        });
        previousWriter = THyperLink::setClipboardWriter([this](const QString &t) {
            copied << t;
            return clipboardWorks;
        });
    }
    ~FakeDesktop()
    {
        THyperLink::setOpener(previousOpener);
        THyperLink::setClipboardWriter(previousWriter);
    }
    bool openSucceeds = true;
    bool clipboardWorks = true;
    ScriptedModals modals; // a failed open says so
    QStringList opened;
    QStringList copied;
    THyperLink::Opener previousOpener;
    THyperLink::ClipboardWriter previousWriter;
};

int countColour(const QImage &image, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

} // namespace

class TestHyperLink : public QObject {
    Q_OBJECT
private slots:
    void addressOfEachType_data();
    void addressOfEachType();
    void customPrefixIsSharedCutAndEmptied();
    void addressIsCut();
    void visitedRules();
    void clickEvents_data();
    void clickEvents();
    void aliasIsShownButNotOpened();
    void copyToClipboard_data();
    void copyToClipboard();
    void autoSizeFollowsAlignment_data();
    void autoSizeFollowsAlignment();
    void hintRule_data();
    void hintRule();
    void mouseAndKeyboardOpen();
    void paintsInLinkOrVisitedColour();
};

void TestHyperLink::addressOfEachType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("address");
    QTest::newRow("email") << int(TLinkType::ltEmail) << "mailto:someone@example.org";
    QTest::newRow("file") << int(TLinkType::ltFile) << "file://someone@example.org";
    QTest::newRow("gopher") << int(TLinkType::ltGopher) << "gopher://someone@example.org";
    QTest::newRow("http") << int(TLinkType::ltHttp) << "http://someone@example.org";
    QTest::newRow("news") << int(TLinkType::ltNews) << "news:someone@example.org";
    QTest::newRow("wais") << int(TLinkType::ltWais) << "wais:someone@example.org";
    QTest::newRow("telnet") << int(TLinkType::ltTelnet) << "telnet:someone@example.org";
    QTest::newRow("custom") << int(TLinkType::ltCustom) << "irc://someone@example.org";
}

void TestHyperLink::addressOfEachType()
{
    QFETCH(int, type);
    QFETCH(QString, address);
    FakeDesktop desktop;
    ScriptedModals modals;
    THyperLink link;
    THyperLink::setCustomPrefix(QStringLiteral("irc://"));
    link.setLinkType(TLinkType(type));
    link.setCaption(QStringLiteral("someone@example.org"));

    QCOMPARE(link.address(), address);
    QCOMPARE(link.displayText(), address);
    QCOMPARE(link.accessibleName(), address);
    link.click();
    link.copyToClipboard();
    QCOMPARE(desktop.opened, QStringList{address});
    QCOMPARE(desktop.copied, QStringList{address});
}

void TestHyperLink::customPrefixIsSharedCutAndEmptied()
{
    THyperLink a, b, web;
    a.setLinkType(TLinkType::ltCustom);
    b.setLinkType(TLinkType::ltCustom);
    web.setLinkType(TLinkType::ltHttp);
    for (THyperLink *link : {&a, &b, &web}) {
        link->setCaption(QStringLiteral("host"));
        link->ensurePolished();
    }
    const int webWidth = web.width();
    const int customWidth = a.width();

    a.setCustomPrefix(QStringLiteral("abcdefghijklmnopqrstuvwxy")); // 25 characters
    QCOMPARE(THyperLink::CustomPrefix(), QStringLiteral("abcdefghijklmnopqrst"));
    QCOMPARE(b.address(), QStringLiteral("abcdefghijklmnopqrsthost"));
    QCOMPARE(b.toolTip(), b.address());
    // Every custom link takes the new text's size; the others are left alone.
    QVERIFY(b.width() > customWidth);
    QCOMPARE(b.width(), b.neededWidth());
    QCOMPARE(web.width(), webWidth);
    QCOMPARE(web.address(), QStringLiteral("http://host"));

    THyperLink later;   // a new link empties it for all
    QCOMPARE(THyperLink::CustomPrefix(), QString());
    QCOMPARE(b.address(), QStringLiteral("host"));
    QCOMPARE(b.accessibleName(), QStringLiteral("host"));
}

void TestHyperLink::addressIsCut()
{
    FakeDesktop desktop;
    THyperLink link;
    link.setLinkType(TLinkType::ltHttp);
    link.setCaption(QString(3000, QLatin1Char('a')));
    link.click();
    link.copyToClipboard();
    QCOMPARE(desktop.opened.size(), 1);
    QCOMPARE(desktop.opened.first().size(), THyperLink::MaxAddressLength);
    QCOMPARE(desktop.copied.first().size(), 3007);   // the copy is whole
    QVERIFY(desktop.opened.first().startsWith(QLatin1String("http://aaa")));
}

void TestHyperLink::visitedRules()
{
    FakeDesktop desktop;
    THyperLink link;
    link.setLinkType(TLinkType::ltHttp);
    link.setCaption(QStringLiteral("www.example.org"));

    link.click();
    QVERIFY(link.Visited());
    link.setLinkType(TLinkType::ltHttp);   // unchanged: still visited
    QVERIFY(link.Visited());
    link.setLinkType(TLinkType::ltEmail);
    QVERIFY(!link.Visited());

    link.click();
    QVERIFY(link.Visited());
    link.setCaption(link.Caption());   // even the same caption starts afresh
    QVERIFY(!link.Visited());

    desktop.openSucceeds = false;
    link.click();
    QVERIFY(!link.Visited());
    link.setVisited(true);
    link.click();   // a failed open leaves Visited as it was
    QVERIFY(link.Visited());
    QCOMPARE(desktop.modals.errors().size(), 2);
}

void TestHyperLink::clickEvents_data()
{
    QTest::addColumn<bool>("beforeAllows");
    QTest::addColumn<bool>("executeOpensItself");
    QTest::addColumn<bool>("openSucceeds");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("visited");

    QTest::newRow("opened") << true << false << true
                            << QStringList{"before", "execute", "open", "after 33"} << true;
    QTest::newRow("open failed") << true << false << false
                                 << QStringList{"before", "execute", "open", "after 31"} << false;
    QTest::newRow("handler opened it") << true << true << false
                                       << QStringList{"before", "execute", "after 33"} << true;
    QTest::newRow("cancelled") << false << false << true << QStringList{"before"} << false;
}

void TestHyperLink::clickEvents()
{
    QFETCH(bool, beforeAllows);
    QFETCH(bool, executeOpensItself);
    QFETCH(bool, openSucceeds);
    QFETCH(QStringList, calls);
    QFETCH(bool, visited);

    QStringList seen;
    ScriptedModals modals;
    THyperLink::Opener previous = THyperLink::setOpener([&](const QString &) {
        seen << QStringLiteral("open");
        return openSucceeds;
    });
    THyperLink link;
    link.setLinkType(TLinkType::ltHttp);
    link.setCaption(QStringLiteral("www.example.org"));
    link.OnBeforeExecuted = [&](THyperLink *sender, bool &executeIt) {
        QCOMPARE(sender, &link);
        QVERIFY(executeIt);
        seen << QStringLiteral("before");
        executeIt = beforeAllows;
    };
    link.OnExecute = [&](THyperLink *, bool &executeIt) {
        QVERIFY(executeIt);
        seen << QStringLiteral("execute");
        executeIt = !executeOpensItself;
    };
    link.OnAfterExecuted = [&](THyperLink *sender, int result) {
        QCOMPARE(sender, &link);
        seen << QStringLiteral("after %1").arg(result);
    };
    link.click();
    THyperLink::setOpener(previous);

    QCOMPARE(seen, calls);
    QCOMPARE(link.Visited(), visited);
    // A link nothing could open says so.
    QCOMPARE(modals.errors(), calls.contains(QStringLiteral("open")) && !openSucceeds
                                  ? QStringList{"Cannot open http://www.example.org: no program on this desktop opens it."}
                                  : QStringList());
}

void TestHyperLink::aliasIsShownButNotOpened()
{
    FakeDesktop desktop;
    THyperLink link;
    link.setLinkType(TLinkType::ltEmail);
    link.setCaption(QStringLiteral("someone@example.org"));
    link.setAlias(QStringLiteral("Write to us"));
    link.ensurePolished();

    QCOMPARE(link.displayText(), QStringLiteral("Write to us"));
    QCOMPARE(link.accessibleName(), QStringLiteral("Write to us"));
    QCOMPARE(link.width(), QFontMetrics(link.font()).horizontalAdvance(QStringLiteral("Write to us")) + 8);
    link.click();
    link.copyToClipboard();
    QCOMPARE(desktop.opened, QStringList{"mailto:someone@example.org"});
    QCOMPARE(desktop.copied, QStringList{"mailto:someone@example.org"});
}

void TestHyperLink::copyToClipboard_data()
{
    QTest::addColumn<bool>("works");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("copied") << true << QStringList{};
    QTest::newRow("clipboard fails") << false << QStringList{"Could not write to clipboard"};
}

void TestHyperLink::copyToClipboard()
{
    QFETCH(bool, works);
    QFETCH(QStringList, messages);
    FakeDesktop desktop;
    desktop.clipboardWorks = works;
    ScriptedModals modals;
    THyperLink link;
    link.setLinkType(TLinkType::ltHttp);
    link.setCaption(QStringLiteral("www.example.org/page"));

    const QList<QAction *> items = link.PopupMenu()->actions();
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.first()->text(), QStringLiteral("Copy Url to clipboard"));
    QVERIFY(items.first()->shortcut().isEmpty());
    items.first()->trigger();
    QCOMPARE(desktop.copied, QStringList{"http://www.example.org/page"});
    QCOMPARE(modals.messages(), messages);
    QVERIFY(desktop.opened.isEmpty());
    QVERIFY(!link.Visited());
}

void TestHyperLink::autoSizeFollowsAlignment_data()
{
    QTest::addColumn<bool>("autoSize");
    QTest::addColumn<int>("align");
    QTest::addColumn<bool>("sizesWidth");
    QTest::addColumn<bool>("sizesHeight");
    QTest::newRow("none") << true << int(TAlign::alNone) << true << true;
    QTest::newRow("left") << true << int(TAlign::alLeft) << true << false;
    QTest::newRow("right") << true << int(TAlign::alRight) << true << false;
    QTest::newRow("top") << true << int(TAlign::alTop) << false << true;
    QTest::newRow("bottom") << true << int(TAlign::alBottom) << false << true;
    QTest::newRow("client") << true << int(TAlign::alClient) << false << false;
    QTest::newRow("off") << false << int(TAlign::alNone) << false << false;
}

void TestHyperLink::autoSizeFollowsAlignment()
{
    QFETCH(bool, autoSize);
    QFETCH(int, align);
    QFETCH(bool, sizesWidth);
    QFETCH(bool, sizesHeight);
    THyperLink link;
    link.setAutoSize(autoSize);
    link.setAlign(TAlign(align));
    link.setLinkType(TLinkType::ltHttp);
    link.setCaption(QStringLiteral("www.example.org/a/rather/long/page.html"));
    QCOMPARE(link.size(), QSize(100, 13));   // as made until first shown
    link.ensurePolished();

    const QFontMetrics fm(link.font());
    const int width = fm.horizontalAdvance(QStringLiteral("http://www.example.org/a/rather/long/page.html")) + 10;
    const int height = fm.height() + 4;
    QCOMPARE(link.width(), sizesWidth ? width : 100);
    QCOMPARE(link.height(), sizesHeight ? height : 13);

    // and again after every change of text
    link.setCaption(QStringLiteral("x"));
    QCOMPARE(link.width(), sizesWidth ? fm.horizontalAdvance(QStringLiteral("http://x")) + 10 : 100);
}

void TestHyperLink::hintRule_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("designerHint");
    QTest::addColumn<QString>("hint");
    const QString address = QStringLiteral("http://www.example.org/page");
    QTest::newRow("fits, own hint") << 400 << "Our page" << "Our page";
    QTest::newRow("fits, no own hint") << 400 << "" << address;
    QTest::newRow("cut, own hint") << 30 << "Our page" << address;
}

void TestHyperLink::hintRule()
{
    QFETCH(int, width);
    QFETCH(QString, designerHint);
    QFETCH(QString, hint);
    THyperLink link;
    link.setAutoSize(false);
    link.setLinkType(TLinkType::ltHttp);
    link.setCaption(QStringLiteral("www.example.org/page"));
    link.setHint(designerHint);
    link.resize(width, 17);
    link.show();
    QCOMPARE(link.toolTip(), hint);
    link.setShowHint(false);
    QCOMPARE(link.toolTip(), QString());
}

void TestHyperLink::mouseAndKeyboardOpen()
{
    FakeDesktop desktop;
    THyperLink link;
    link.setLinkType(TLinkType::ltHttp);
    link.setCaption(QStringLiteral("www.example.org"));
    link.show();
    QVERIFY(QTest::qWaitForWindowExposed(&link));

    QTest::mouseClick(&link, Qt::RightButton, {}, QPoint(5, 5));
    link.PopupMenu()->hide();
    QCOMPARE(desktop.opened.size(), 0);
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(desktop.opened.size(), 1);
    QTest::keyClick(&link, Qt::Key_Return);
    QTest::keyClick(&link, Qt::Key_Space);
    QTest::keyClick(&link, Qt::Key_A);
    QCOMPARE(desktop.opened.size(), 3);
}

void TestHyperLink::paintsInLinkOrVisitedColour()
{
    FakeDesktop desktop;
    THyperLink link;
    link.setLinkType(TLinkType::ltHttp);
    link.setCaption(QStringLiteral("www.example.org"));
    link.setTransparent(false);
    link.setColor(QColor(255, 255, 0));
    link.ensurePolished();

    QImage before = link.grab().toImage();
    QVERIFY(countColour(before, QColor(255, 255, 0)) > 0);
    QVERIFY(countColour(before, QColor(0, 0, 255)) > 0);
    QCOMPARE(countColour(before, QColor(128, 0, 128)), 0);
    link.click();
    QImage after = link.grab().toImage();
    QVERIFY(countColour(after, QColor(128, 0, 128)) > 0);
    QCOMPARE(countColour(after, QColor(0, 0, 255)), 0);
}

QTEST_MAIN(TestHyperLink)
#include "tst_hyperlinklabel.moc"
