// Qt's own wait window and notice, driven as the user drives them: what they show, how each way
// of answering comes back, and that none stays open.
#include "appinfo.h"
#include "modals.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

// Work that ends when the test says, or when cancelled (at once or in a later event).
class Work : public Waitable {
public:
    bool done = false;
    bool cancelEndsLater = false;
    int cancels = 0;
    bool isFinished() const override { return done; }
    void cancel() override
    {
        ++cancels;
        if (cancelEndsLater)
            QTimer::singleShot(0, this, [this] { end(); });
        else
            end();
    }
    void end()
    {
        done = true;
        emit finished();
    }
};

QWidget *shown(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == name)
            return w;
    return nullptr;
}

// Whether a label names `field` for screen readers.
bool labelled(QWidget *window, QWidget *field)
{
    for (QLabel *label : window->findChildren<QLabel *>())
        if (label->buddy() == field && !label->text().isEmpty())
            return true;
    return false;
}

enum class User { Nothing, WorkEnds, Cancel, CancelTwice, Escape, Close, Run, CheckAndRun, Enter };

} // namespace

Q_DECLARE_METATYPE(User)

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
    QTest::addColumn<User>("user");
    QTest::addColumn<bool>("cancelEndsLater");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("cancels");
    QTest::newRow("work already finished: no window") << User::Nothing << false << true << 0;
    QTest::newRow("work ends by itself: the window closes") << User::WorkEnds << false << true << 0;
    QTest::newRow("Cancel") << User::Cancel << false << false << 1;
    QTest::newRow("Cancel twice while the work takes time to end") << User::CancelTwice << true << false << 1;
    QTest::newRow("Escape") << User::Escape << false << false << 1;
    QTest::newRow("closed from the title bar") << User::Close << true << false << 1;
}

void TestModals::wait()
{
    QFETCH(User, user);
    QFETCH(bool, cancelEndsLater);
    Work work;
    work.done = user == User::Nothing;
    work.cancelEndsLater = cancelEndsLater;
    QStringList seen;
    QTimer::singleShot(0, &work, [&] {
        QWidget *window = shown("WaitWindow");
        if (!window) {
            work.end();
            return;
        }
        auto *label = window->findChild<QLabel *>();
        seen << window->windowTitle() << (label ? label->text() : QString());
        QCOMPARE(window->windowModality(), Qt::ApplicationModal);
        QPushButton *cancel = window->findChild<QPushButton *>("Cancel");
        QVERIFY(cancel);
        switch (user) {
        case User::WorkEnds: work.end(); break;
        case User::CancelTwice: QTest::mouseClick(cancel, Qt::LeftButton); QTest::keyClick(window, Qt::Key_Escape); break;
        case User::Cancel: QTest::mouseClick(cancel, Qt::LeftButton); break;
        case User::Escape: QTest::keyClick(window, Qt::Key_Escape); break;
        case User::Close: window->close(); break;
        default: break;
        }
    });
    QTEST(Modals::current().wait("Waiting for mame -list to finish", work), "result");
    QTEST(work.cancels, "cancels");
    QVERIFY(work.isFinished());
    const QStringList window{AppInfo::Title, "Waiting for mame -list to finish"};
    QCOMPARE(seen, user == User::Nothing ? QStringList{} : window);
    QVERIFY(!shown("WaitWindow"));
}

void TestModals::notice_data()
{
    QTest::addColumn<User>("user");
    QTest::addColumn<int>("noteLines");
    QTest::addColumn<bool>("run");
    QTest::addColumn<bool>("dontAskAgain");
    QTest::newRow("Run") << User::Run << 2 << true << false;
    QTest::newRow("Don't ask again, then Run") << User::CheckAndRun << 2 << true << true;
    QTest::newRow("Enter runs") << User::Enter << 2 << true << false;
    QTest::newRow("Cancel") << User::Cancel << 2 << false << false;
    QTest::newRow("Escape cancels") << User::Escape << 2 << false << false;
    QTest::newRow("long notes still fit on the screen") << User::Run << 2000 << true << false;
}

void TestModals::notice()
{
    QFETCH(User, user);
    QFETCH(int, noteLines);
    NoticeRequest request;
    for (int i = 0; i < noteLines; ++i)
        request.notes += QStringLiteral("-sr 44100: read as -samplerate 44100 %1\n").arg(i);
    request.commandLine = QStringLiteral("/usr/games/mame pacman -samplerate 44100 ") + QString(300, 'x');

    QObject context;
    QTimer::singleShot(0, &context, [&] {
        QWidget *dialog = shown("Notice");
        if (!dialog) {
            QApplication::activeModalWidget()->close();
            QFAIL("no notice shown");
        }
        auto *notes = dialog->findChild<QPlainTextEdit *>("notes");
        auto *commandLine = dialog->findChild<QLineEdit *>("commandline");
        auto *dontAsk = dialog->findChild<QCheckBox *>("dontask");
        auto *run = dialog->findChild<QPushButton *>("Run");
        auto *cancel = dialog->findChild<QPushButton *>("Cancel");
        QVERIFY(notes && commandLine && dontAsk && run && cancel);
        QCOMPARE(dialog->windowTitle(), AppInfo::Title);
        QCOMPARE(notes->toPlainText(), request.notes);
        QVERIFY(notes->isReadOnly() && notes->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QCOMPARE(commandLine->text(), request.commandLine);
        QVERIFY(commandLine->isReadOnly());
        QVERIFY(labelled(dialog, notes) && labelled(dialog, commandLine));
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(dialog->frameGeometry()));
        switch (user) {
        case User::CheckAndRun: QTest::mouseClick(dontAsk, Qt::LeftButton); Q_FALLTHROUGH();
        case User::Run: QTest::mouseClick(run, Qt::LeftButton); break;
        case User::Enter: QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Return); break;
        case User::Escape: QTest::keyClick(dialog, Qt::Key_Escape); break;
        default: QTest::mouseClick(cancel, Qt::LeftButton); break;
        }
    });
    // A failed check above leaves the dialog open: close it then.
    QTimer::singleShot(0, &context, [] {
        if (QWidget *dialog = shown("Notice"))
            dialog->close();
    });
    const NoticeAnswer answer = Modals::current().notice(request);
    QTEST(answer.run, "run");
    QTEST(answer.dontAskAgain, "dontAskAgain");
    QVERIFY(!shown("Notice"));
}

QTEST_MAIN(TestModals)
#include "tst_modals.moc"
