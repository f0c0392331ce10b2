// Qt's own wait window and notice, answered as a user answers them; none stays open.
#include "appinfo.h"
#include "modals.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

// Work that ends when told to; a cancel ends it in a later event, as a killed process does.
struct Work : Waitable {
    bool done = false;
    int cancels = 0;
    bool isFinished() const override { return done; }
    void cancel() override { ++cancels, QTimer::singleShot(0, this, [this] { end(); }); }
    void end() { done = true, emit finished(); }
};

// Runs `act` on the modal window once it shows; a window left open after it is closed.
void whenShown(QObject *context, const std::function<void(QWidget *)> &act)
{
    QTimer::singleShot(0, context, [act] {
        act(QApplication::activeModalWidget());
        if (QWidget *left = QApplication::activeModalWidget())
            left->close();
    });
}

} // namespace

class TestModals : public QObject {
    Q_OBJECT
private slots:
    void wait_data();
    void wait();
    void notice_data();
    void notice();
};

void TestModals::wait_data()
{
    QTest::addColumn<int>("key"); // 0: the work ends by itself
    QTest::addColumn<bool>("result");
    QTest::newRow("the work ends: the window closes") << 0 << true;
    QTest::newRow("Escape, twice") << int(Qt::Key_Escape) << false;
    QTest::newRow("Cancel (space on its button)") << int(Qt::Key_Space) << false;
}

void TestModals::wait()
{
    QFETCH(int, key);
    Work work;
    QString seen;
    whenShown(&work, [&](QWidget *window) {
        QCOMPARE(window->objectName(), "WaitWindow");
        seen = window->windowTitle();
        if (key == 0)
            return work.end();
        QTest::keyClick(key == Qt::Key_Space ? window->findChild<QWidget *>("Cancel") : window, Qt::Key(key));
        QTest::keyClick(window, Qt::Key_Escape);
    });
    QTEST(Modals::current().wait("Waiting for mame -list to finish", work), "result");
    QCOMPARE(work.cancels, key ? 1 : 0);
    QCOMPARE(seen, AppInfo::Title);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(Modals::current().wait("finished work shows nothing", work));
}

void TestModals::notice_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("run");
    QTest::newRow("Don't ask again, Enter: runs; long notes stay on the screen") << int(Qt::Key_Return) << true;
    QTest::newRow("Don't ask again, Escape: cancels") << int(Qt::Key_Escape) << false;
}

void TestModals::notice()
{
    QFETCH(int, key);
    const NoticeRequest request{QStringLiteral("-sr 44100: read as -samplerate\n").repeated(2000), "mame pacman"};
    QObject context;
    whenShown(&context, [&](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), "Notice");
        QCOMPARE(dialog->findChild<QPlainTextEdit *>("notes")->toPlainText(), request.notes);
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(dialog->frameGeometry()));
        dialog->findChild<QCheckBox *>("dontask")->click();
        QTest::keyClick(dialog->focusWidget(), Qt::Key(key));
    });
    const NoticeAnswer answer = Modals::current().notice(request);
    QTEST(answer.run, "run");
    QVERIFY(answer.dontAskAgain);
}

QTEST_MAIN(TestModals)
#include "tst_modals.moc"
