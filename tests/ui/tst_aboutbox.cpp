#include "hyperlinklabel.h"
#include "aboutbox.h"
#include "application.h"
#include "filelistbox.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

// Runs `inside` once the next modal window is up, then closes it by `close`.
void whenModal(std::function<void(QWidget *)> inside)
{
    QTimer::singleShot(0, [inside] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        inside(modal);
    });
}

QColor colour(QWidget *w, QPalette::ColorRole role)
{
    return w->palette().color(role);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void window();
    void controls_data();
    void controls();
    void links_data();
    void links();
    void helpMessages_data();
    void helpMessages();
    void aboutShowsTheSameWindowEachTime();
    void closeBoxIsOk();
    void joke();
    void jokeAgainGivesTheSame();
    void mainWindowStillEndsTheProgram();

private:
    std::unique_ptr<TestUtil::ScratchDir> m_dir;
    std::unique_ptr<TestUtil::CurrentDir> m_cwd;
    std::unique_ptr<ScriptedModals> m_modals;
    std::unique_ptr<ApplicationWindows> m_windows;
    TForm1 *form() { return m_windows->Form1.get(); }
    TAboutBox *about() { return m_windows->AboutBox.get(); }
};

void TestAbout::init()
{
    m_dir = std::make_unique<TestUtil::ScratchDir>();
    TestUtil::writeFile(m_dir->file("arcade.tvo"), TestUtil::crlf(TestUtil::configLines(54, {{0, "Arcade"}})));
    m_cwd = std::make_unique<TestUtil::CurrentDir>(m_dir->path());
    m_modals = std::make_unique<ScriptedModals>();
    m_windows = std::make_unique<ApplicationWindows>();
}

void TestAbout::cleanup()
{
    m_windows.reset();
    m_modals.reset();
    m_cwd.reset();
    m_dir.reset();
}

void TestAbout::window()
{
    QVERIFY(!about()->isVisible());
    QCOMPARE(about()->windowTitle(), QStringLiteral("About"));
    QCOMPARE(about()->size(), QSize(558, 258));
    QCOMPARE(about()->minimumSize(), about()->maximumSize());
    QVERIFY(!(about()->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(about()->OKButton->isDefault());
    QCOMPARE(about()->OKButton->text(), QStringLiteral("OK"));
    QCOMPARE(about()->Panel1->geometry(), QRect(8, 8, 545, 217));
    QCOMPARE(about()->OKButton->geometry(), QRect(477, 228, 75, 25));
    QCOMPARE(about()->ProductName->font().pixelSize(), 27);
}

void TestAbout::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fixedSize");   // labels may grow to their text

    QTest::newRow("ProgramIcon") << "ProgramIcon" << QRect(8, 8, 33, 33) << "" << true;
    QTest::newRow("ProductName") << "ProductName" << QRect(48, 10, 166, 33) << "MAME Trelvo" << false;
    QTest::newRow("Version") << "Version" << QRect(176, 40, 100, 13) << "Version FINAL 1 (R4)" << false;
    QTest::newRow("Label6") << "Label6" << QRect(11, 65, 113, 13) << "Check New versions at:" << false;
    QTest::newRow("Image1") << "Image1" << QRect(32, 101, 129, 49) << "" << true;
    QTest::newRow("Image2") << "Image2" << QRect(192, 101, 113, 49) << "" << true;
    QTest::newRow("Label5") << "Label5" << QRect(15, 178, 250, 13)
                            << QStringLiteral("Programmer: Relvinho (Tomás Relvas Quintino)") << false;
    QTest::newRow("Comments") << "Comments" << QRect(14, 198, 114, 13) << "BY: Quarzel" << false;
    QTest::newRow("Bevel1") << "Bevel1" << QRect(350, 16, 164, 89) << "" << true;
    QTest::newRow("Label1") << "Label1" << QRect(374, 28, 112, 13) << "SPECIAL THANKS TO:" << false;
    QTest::newRow("Label2") << "Label2" << QRect(360, 49, 151, 39)
                            << "Beto, Lia, Dudu and the Fliperama Livre forum" << true;
}

void TestAbout::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, text);
    QFETCH(bool, fixedSize);

    QWidget *w = about()->Panel1->findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(w->pos(), place.topLeft());
    if (fixedSize) {
        QCOMPARE(w->size(), place.size());
    } else {
        QVERIFY(w->width() >= place.width() && w->height() >= place.height());
        QVERIFY(w->width() >= w->sizeHint().width());   // the whole text shows
    }
    if (auto *label = qobject_cast<QLabel *>(w)) {
        if (text.isEmpty())
            QVERIFY(!label->pixmap().isNull());
        else
            QCOMPARE(label->text(), text);
    }
}

void TestAbout::links_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("address");
    QTest::newRow("product page") << "HyperLink8" << QPoint(140, 64) << int(TLinkType::ltHttp)
                                  << "http://www.example.com/trelvo";
    QTest::newRow("programmer") << "HyperLink7" << QPoint(273, 178) << int(TLinkType::ltEmail)
                                << "mailto:relvinho@example.net";
    QTest::newRow("maker mail") << "HyperLink1" << QPoint(130, 197) << int(TLinkType::ltEmail)
                                << "mailto:quarzel@example.org";
    QTest::newRow("maker page") << "HyperLink2" << QPoint(289, 197) << int(TLinkType::ltHttp)
                                << "http://www.example.org/quarzel";
}

void TestAbout::links()
{
    QFETCH(QString, name);
    QFETCH(QPoint, place);
    QFETCH(int, type);
    QFETCH(QString, address);
    auto *link = about()->Panel1->findChild<THyperLink *>(name);
    QVERIFY(link);
    // In its place, or moved right where a wider type makes the label before it longer.
    QCOMPARE(link->y(), place.y());
    QVERIFY(link->x() >= place.x());
    QCOMPARE(int(link->LinkType()), type);
    QCOMPARE(link->address(), address);
    QCOMPARE(link->toolTip(), address);
    // Only the reserved example domains: the program names nobody's real site or mailbox.
    const QString host = QUrl(address).host() + QUrl(QStringLiteral("mailto://") + link->Caption()).host();
    QVERIFY2(QRegularExpression(QStringLiteral("example\\.(org|com|net)$")).match(host).hasMatch(), qPrintable(host));

    about()->show();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    QVERIFY2(link->geometry().right() < about()->Panel1->width(), "the link lies inside the panel");
    about()->accept();
}

void TestAbout::helpMessages_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("text");
    QTest::newRow("Technical Support") << "TechnicalSupport1"
                                       << "Problems with T.V.O.? Report me in: quarzel@example.org";
    QTest::newRow("About Quarzel") << "AboutQuarzel1"
                                   << " Quarzel - Home Page: http://www.example.org/quarzel - E-Mail: quarzel@example.org";
    QTest::newRow("About MAME") << "AboutMAME1"
                                << "M.A.M.E.: Multiple Arcade Machine Emulator - by Nicola Salmoria and the MAME Team."
                                   " Home Page: https://www.mamedev.org/";
}

void TestAbout::helpMessages()
{
    QFETCH(QString, item);
    QFETCH(QString, text);
    QAction *action = form()->findChild<QAction *>(item);
    QVERIFY(action);
    QVERIFY(form()->Help1->actions().contains(action));
    action->trigger();
    QCOMPARE(m_modals->shown.size(), 1);
    QCOMPARE(m_modals->messages(), QStringList{text});
    QVERIFY(!about()->isVisible());
}

void TestAbout::aboutShowsTheSameWindowEachTime()
{
    QList<QWidget *> seen;
    QStringList versions;
    for (int i = 0; i < 2; ++i) {
        whenModal([&](QWidget *modal) {
            seen << modal;
            versions << about()->Version->text();
            if (seen.size() == 1)
                about()->ProgramIconDblClick();
            about()->OKButton->click();
        });
        m_modals->clear();
        form()->AboutTVO1->trigger();
        QVERIFY(!about()->isVisible());
    }
    QCOMPARE(seen, (QList<QWidget *>{about(), about()}));
    // the joke of the first showing is still there at the second
    QCOMPARE(versions, (QStringList{"Version FINAL 1 (R4)", QStringLiteral("Ovo de Páscoa")}));
}

void TestAbout::closeBoxIsOk()
{
    whenModal([](QWidget *modal) { modal->close(); });
    form()->AboutTVO1Click();
    QCOMPARE(about()->result(), int(QDialog::Accepted));
    QVERIFY(!about()->isVisible());
}

void TestAbout::joke()
{
    form()->show();
    QVERIFY(QTest::qWaitForWindowExposed(form()));
    about()->show();
    QVERIFY(QTest::qWaitForWindowExposed(about()));
    QTest::mouseDClick(about()->ProgramIcon, Qt::LeftButton, {}, QPoint(10, 10));

    QCOMPARE(m_modals->shown.size(), 1);
    const ScriptedModals::Shown box = m_modals->shown.first();
    QCOMPARE(box.kind, ScriptedModals::Kind::Exclamation);
    QCOMPARE(box.title, QStringLiteral("Ovo de Páscoa"));
    QCOMPARE(box.text, QStringLiteral("Droga vc me descobriu... como pode?..., tentei me esconder mais não consegui... "
                                      "Clique ok pra ver a nova cara do TVO! Falow!!:-) E valew por utilizar TVO."
                                      " Relvinho."));

    const QList<QPair<QWidget *, QString>> texts = {
        {about()->ProductName, QStringLiteral("MAME é o Melhor!")},
        {about()->Version, QStringLiteral("Ovo de Páscoa")},
        {about()->Label6, QStringLiteral("A página mais legal do mundo:")},
        {about()->Label5, QStringLiteral("Programador: EU mesmo, Qual é o problema?")},
        {about()->Comments, QStringLiteral("Quarzel é a melhor!")},
        {about()->Label1, QStringLiteral("AGRADECIMENTOS:")},
        {about()->Label2, QStringLiteral("A TODOS os meus amigos e a galera da Emulação!")},
    };
    for (const auto &[widget, text] : texts) {
        QCOMPARE(static_cast<QLabel *>(widget)->text(), text);
        QVERIFY(widget->width() >= widget->sizeHint().width() || widget == about()->Label2);
    }
    QCOMPARE(about()->OKButton->text(), QStringLiteral(":-)"));
    // the longer text does not run into the link beside it
    QVERIFY(about()->Label6->geometry().right() < about()->HyperLink8->x());

    QCOMPARE(colour(form()->lista, QPalette::Base), QColor(128, 0, 0));
    QCOMPARE(colour(form()->lista, QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(colour(form()->Panel2, QPalette::Window), QColor(255, 0, 0));
    QCOMPARE(colour(form()->Label1, QPalette::WindowText), QColor(128, 0, 0));
    QCOMPARE(form()->windowTitle(), QStringLiteral("MAME é o Melhor!"));
    QCOMPARE(form()->Label1->text(), QStringLiteral("Ovo de Páscoa"));
    QCOMPARE(form()->Label1->font().pointSize(), 6);
    QVERIFY(form()->StatusBar1->autoFillBackground());
    QCOMPARE(colour(form()->StatusBar1, QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(form()->windowType(), Qt::Tool);
    QVERIFY(!(form()->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    // The main window is back on screen and still works.
    QVERIFY(form()->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(form()));
    QCOMPARE(form()->lista->count(), 1);
    form()->lista->setItemIndex(0);
    QCOMPARE(form()->statusText(), QStringLiteral("Arcade"));
    about()->accept();
}

void TestAbout::jokeAgainGivesTheSame()
{
    form()->show();
    QVERIFY(QTest::qWaitForWindowExposed(form()));
    about()->ProgramIconDblClick();
    const QPoint where = form()->pos();
    const Qt::WindowFlags flags = form()->windowFlags();
    about()->ProgramIconDblClick();
    QCOMPARE(m_modals->shown.size(), 2);
    QCOMPARE(m_modals->shown.at(1).text, m_modals->shown.at(0).text);
    QCOMPARE(form()->windowFlags(), flags);
    QCOMPARE(form()->pos(), where);
    QVERIFY(form()->isVisible());
    QCOMPARE(about()->ProductName->text(), QStringLiteral("MAME é o Melhor!"));
}

void TestAbout::mainWindowStillEndsTheProgram()
{
    form()->show();
    QVERIFY(QTest::qWaitForWindowExposed(form()));
    about()->ProgramIconDblClick();
    QCOMPARE(form()->windowType(), Qt::Tool);

    // Qt ends its event loop when the last main window closes; a tool window does not count
    // unless told to.
    QTimer::singleShot(0, form(), [this] { form()->Exit1->trigger(); });
    QTimer stuck;
    stuck.setSingleShot(true);
    connect(&stuck, &QTimer::timeout, qApp, [] { QCoreApplication::exit(2); });
    stuck.start(60000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!form()->isVisible());
}

QTEST_MAIN(TestAbout)
#include "tst_aboutbox.moc"
