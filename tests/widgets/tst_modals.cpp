// Qt's own wait window and notice, answered as a user answers them; none stays open.
#include "appinfo.h"
#include "modals.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
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
    void errorBox_data();
    void errorBox();
};

void TestModals::wait_data()
{
    QTest::addColumn<int>("key"); // 0: the work ends by itself
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("program");
    QTest::newRow("the work ends: the window closes") << 0 << true << "mame";
    QTest::newRow("Escape, twice") << int(Qt::Key_Escape) << false << "mame";
    QTest::newRow("Cancel (space on its button)") << int(Qt::Key_Space) << false << "mame";
    QTest::newRow("Enter pressed on: nothing cancelled") << int(Qt::Key_Return) << true << "mame";
    QTest::newRow("a name wider than the screen: elided") << 0 << true << QStringLiteral("<b>mame-").repeated(60);
}

void TestModals::wait()
{
    QFETCH(int, key);
    QFETCH(QString, program);
    const QString text = "Waiting for " + program + " -showconfig to finish";
    Work work;
    QString seen;
    whenShown(&work, [&](QWidget *window) {
        QCOMPARE(window->objectName(), "WaitWindow");
        seen = window->windowTitle();
        // On one line, never broken inside the command, and on the screen; the text as it is.
        const auto *label = window->findChild<QLabel *>("text");
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(label->height() < 2 * label->fontMetrics().lineSpacing());
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(window->frameGeometry()));
        if (label->text() != text) {
            QVERIFY(label->text().startsWith("Waiting for <b>") && label->text().endsWith("-showconfig to finish"));
            QCOMPARE(label->accessibleName(), text);
        }
        if (key == 0)
            return work.end();
        if (key == Qt::Key_Return) {
            QTest::keyClick(window->findChild<QWidget *>("Cancel"), Qt::Key_Return);
            return work.end();
        }
        QTest::keyClick(key == Qt::Key_Space ? window->findChild<QWidget *>("Cancel") : window, Qt::Key(key));
        QTest::keyClick(window, Qt::Key_Escape);
    });
    QTEST(Modals::current().wait(text, work), "result");
    QCOMPARE(work.cancels, key && key != Qt::Key_Return ? 1 : 0);
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

void TestModals::errorBox_data()
{
    QTest::addColumn<QString>("text");
    QString path = QStringLiteral("/home/player");
    while (path.size() < 150)
        path += QStringLiteral("/roms-") + QString::number(path.size());
    path += QString(150, QLatin1Char('x')); // wider than the screen unless broken
    QTest::newRow("a 300-character path") << "Cannot create file " + path + ": Permission denied.";
    QTest::newRow("markup, accents apart") << "<b>x%2 & \\y</b> a" + QStringLiteral("e\u0301").repeated(60) + " ended";
    QString lines = QStringLiteral("pacman ended with status 3 (fatal error)");
    for (int i = 0; i < 10; ++i)
        lines += QLatin1Char('\n') + QStringLiteral("word ").repeated(60);
    QTest::newRow("a game's last ten lines, 300 characters each") << lines;
}

// A long path stays on the screen, elided in its middle; what the box holds in its details,
// copies and gives a screen reader is the text itself, with nothing invisible put into it.
void TestModals::errorBox()
{
    QFETCH(QString, text);
    const QRegularExpression invisible(QStringLiteral("[\\x{00AD}\\x{200B}-\\x{200F}\\x{2060}-\\x{2064}\\x{FEFF}]"));
    QObject context;
    QString copied;
    whenShown(&context, [&](QWidget *window) {
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(window->frameGeometry()));
        auto *box = static_cast<QMessageBox *>(window);
        auto *label = box->findChild<QLabel *>("qt_msgbox_label");
        QCOMPARE(label->textFormat(), Qt::PlainText);
        // Shown whole, or shortened with the whole in the details.
        QCOMPARE(box->detailedText().isEmpty() ? box->text() : box->detailedText(), text);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(label);
        QCOMPARE(accessible->text(QAccessible::Name), text);
        for (const QString &held : {box->text(), box->detailedText(), label->text(), accessible->text(QAccessible::Name),
                                    box->accessibleDescription()})
            QVERIFY2(!held.contains(invisible), qPrintable(held));
        // Every piece between blanks fits a line, and every line is shown.
        for (const QString &piece : label->text().split(QRegularExpression(QStringLiteral("\\s"))))
            QVERIFY2(label->fontMetrics().horizontalAdvance(piece) <= label->contentsRect().width(), qPrintable(piece));
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        copied = QGuiApplication::clipboard()->text();
    });
    Modals::current().error(text);

    QVERIFY2(copied.contains(text) && !copied.contains(invisible), qPrintable(copied));
}

QTEST_MAIN(TestModals)
#include "tst_modals.moc"
