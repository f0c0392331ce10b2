// The file operation: which operations ask, the list as the shell reads it, and repeating.
#include "fileoperation.h"
#include "fileio.h"
#include "scriptedmodals.h"
#include "testutil.h"

#include <QTest>
#include <cerrno>

using namespace TestUtil;

class TestFileOperation : public QObject {
    Q_OBJECT
private slots:
    void execute_data();
    void execute();
};

void TestFileOperation::execute_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<bool>("ask");             // without foNoConfirmation
    QTest::addColumn<QList<QByteArray>>("sources");
    QTest::addColumn<QList<bool>>("answers");  // one per Execute that asks
    QTest::addColumn<int>("executions");
    QTest::addColumn<int>("result");           // of the last Execute
    QTest::addColumn<QList<QByteArray>>("left"); // the scratch directory afterwards
    using L = QList<QByteArray>;
    const int del = int(TATOpChoice::opDelete), copy = int(TATOpChoice::opCopy), move = int(TATOpChoice::opMove);
    QTest::newRow("delete asks, yes") << del << true << L{"a"} << QList<bool>{true} << 1 << 0 << L{"b", "dir"};
    QTest::newRow("delete asks, no: nothing happens") << del << true << L{"a"} << QList<bool>{false} << 1
                                                      << int(ECANCELED) << L{"a", "b", "dir"};
    QTest::newRow("delete without asking") << del << false << L{"a", "b"} << QList<bool>{} << 1 << 0 << L{"dir"};
    QTest::newRow("an empty source list does nothing") << del << true << L{} << QList<bool>{} << 1 << 0
                                                       << L{"a", "b", "dir"};
    QTest::newRow("an empty entry ends the list") << del << false << L{"a", "", "b"} << QList<bool>{} << 1 << 0
                                                  << L{"b", "dir"};
    QTest::newRow("a second Execute repeats: the file is gone") << del << false << L{"a"} << QList<bool>{} << 2
                                                                << int(ENOENT) << L{"b", "dir"};
    QTest::newRow("copy asks too") << copy << true << L{"a"} << QList<bool>{true, true} << 2 << 0
                                   << L{"a", "b", "dir", "dir/a"};
    QTest::newRow("move without asking") << move << false << L{"a"} << QList<bool>{} << 1 << 0
                                         << L{"b", "dir", "dir/a"};
}

void TestFileOperation::execute()
{
    QFETCH(int, operation);
    QFETCH(bool, ask);
    QFETCH(QList<QByteArray>, sources);
    QFETCH(QList<bool>, answers);
    QFETCH(int, executions);
    QFETCH(int, result);
    QFETCH(QList<QByteArray>, left);
    ScratchDir dir;
    ScriptedModals modals;
    writeFile(dir.file("a"), "A");
    writeFile(dir.file("b"), "B");
    dir.mkdir("dir");
    TATSHFileOperation op;
    op.Operation = TATOpChoice(operation);
    op.Options = foMultiDestFiles | (ask ? 0 : foNoConfirmation);
    for (const QByteArray &source : sources)
        op.SourceFiles << (source.isEmpty() ? source : dir.file(source));
    op.TargetFiles = {dir.file("dir")};
    for (const bool yes : answers)
        modals.answerQuestion(yes);
    int last = -1;
    for (int i = 0; i < executions; ++i)
        last = op.Execute();
    QCOMPARE(last, result);
    QCOMPARE(modals.texts(ScriptedModals::Kind::Question).size(), int(answers.size()));
    QCOMPARE(modals.pendingAnswers(), 0);
    QList<QByteArray> found = entries(dir.path());
    for (const QByteArray &name : entries(dir.file("dir")))
        found << "dir/" + name;
    QCOMPARE(found, left);
}

QTEST_GUILESS_MAIN(TestFileOperation)
#include "tst_fileoperation.moc"
