#include "modals.h"

#include "appinfo.h"
#include "screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// A message box centred on the screen once it has its final size, which it takes when shown.
// Ctrl+C copies its whole text, as the text is and not as the box shows it.
class CentredBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    QString whole;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        centreOnScreen(this);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(whole);
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

// The widest a run without blanks (a path) may be on the screen in a box: the width a message
// box gives its text before it wraps (half the screen, at most 500 pixels), less its icon's room.
int widestRun(const QFontMetrics &metrics)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    return std::max(metrics.averageCharWidth() * 20, std::min(screenWidth / 2, 500) - 100);
}

// The text as a box shows it: each run without blanks wider than `room` is elided in its middle,
// which keeps both ends of a path in view. Nothing is inserted: the box's details, what Ctrl+C
// copies and what a screen reader reads hold the text itself.
QString elidedRuns(const QString &text, const QFontMetrics &metrics, int room)
{
    QString shown;
    shown.reserve(text.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace())
            continue;
        const QString run = text.mid(start, i - start);
        shown += metrics.horizontalAdvance(run) > room ? metrics.elidedText(run, Qt::ElideMiddle, room) : run;
        if (i < text.size())
            shown += text.at(i);
        start = i + 1;
    }
    return shown;
}

int showBox(QMessageBox::Icon icon, const QString &title, const QString &text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton byDefault = QMessageBox::NoButton)
{
    CentredBox box(icon, title, QString(), buttons);
    // A name is shown as it is, never read as markup ("<b>x.tvo").
    box.setTextFormat(Qt::PlainText);
    // A long text (a game's last lines of errors) shows its first line, and the whole of it in the
    // box's scrolling details: wrapped in the box, it could be taller than the screen.
    const bool isLong = text.size() > 800 || text.count(QLatin1Char('\n')) > 12;
    const QString shown = elidedRuns(isLong ? text.section(QLatin1Char('\n'), 0, 0) : text, box.fontMetrics(),
                                     widestRun(box.fontMetrics()));
    box.setText(shown);
    box.whole = text;
    if (shown != text) {
        box.setDetailedText(text);
        box.setAccessibleDescription(text);
        if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
            label->setAccessibleName(text);
    }
    if (byDefault != QMessageBox::NoButton)
        box.setDefaultButton(byDefault);
    return box.exec();
}

// The window of a wait. Cancel, Escape and the title bar's close all ask for the work to be
// cancelled; the window stays until the work has actually ended, so nothing outlives it.
class WaitWindow : public QDialog {
    Q_OBJECT
public:
    explicit WaitWindow(const QString &text)
    {
        setObjectName(QStringLiteral("WaitWindow"));
        setWindowTitle(AppInfo::Title);
        setWindowModality(Qt::ApplicationModal);
        // One line: a command is never broken ("mame -" / "showconfig"). A line wider than the
        // screen is elided in its middle; its accessible name and tooltip hold it whole.
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("text"));
        label->setTextFormat(Qt::PlainText);
        const QScreen *screen = QGuiApplication::primaryScreen();
        const int room = (screen ? screen->availableGeometry().width() : 1024) * 3 / 4;
        label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
        if (label->text() != text) {
            label->setAccessibleName(text);
            label->setToolTip(text);
        }
        m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
        m_cancel->setObjectName(QStringLiteral("Cancel"));
        // Enter pressed again and again to start a game must not cancel it: Escape or a click does.
        m_cancel->setAutoDefault(false);
        connect(m_cancel, &QPushButton::clicked, this, &WaitWindow::reject);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }

    void reject() override
    {
        if (!m_cancel->isEnabled())
            return; // already asked
        m_cancel->setEnabled(false);
        emit cancelRequested();
    }

signals:
    void cancelRequested();

protected:
    void showEvent(QShowEvent *event) override
    {
        QDialog::showEvent(event);
        centreOnScreen(this);
    }

private:
    QPushButton *m_cancel;
};

class NoticeDialog : public QDialog {
public:
    explicit NoticeDialog(const NoticeRequest &request, QWidget *parent) : QDialog(parent)
    {
        setObjectName(QStringLiteral("Notice"));
        setWindowTitle(AppInfo::Title);

        notes = new QPlainTextEdit(request.notes, this);
        notes->setObjectName(QStringLiteral("notes"));
        notes->setReadOnly(true);
        notes->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        notes->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        auto *notesLabel = new QLabel(QStringLiteral("&Notes:"), this);
        notesLabel->setBuddy(notes);

        commandLine = new QLineEdit(request.commandLine, this);
        commandLine->setObjectName(QStringLiteral("commandline"));
        commandLine->setReadOnly(true);
        commandLine->setCursorPosition(0);
        auto *commandLabel = new QLabel(QStringLiteral("C&ommand line:"), this);
        commandLabel->setBuddy(commandLine);

        dontAsk = new QCheckBox(QStringLiteral("&Don't ask again for this configuration"), this);
        dontAsk->setObjectName(QStringLiteral("dontask"));

        auto *run = new QPushButton(QStringLiteral("&Run"), this);
        run->setObjectName(QStringLiteral("Run"));
        run->setDefault(true);
        auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
        cancel->setObjectName(QStringLiteral("Cancel"));
        connect(run, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

        auto *buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(run);
        buttons->addWidget(cancel);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(notesLabel);
        layout->addWidget(notes, 1);
        layout->addWidget(commandLabel);
        layout->addWidget(commandLine);
        layout->addWidget(dontAsk);
        layout->addLayout(buttons);

        // Wide enough for a command line at a glance; the notes scroll when they are long.
        const QFontMetrics metrics(font());
        resize(metrics.averageCharWidth() * 80, metrics.lineSpacing() * 20);
        run->setFocus();
    }

    QPlainTextEdit *notes;
    QLineEdit *commandLine;
    QCheckBox *dontAsk;

protected:
    void showEvent(QShowEvent *event) override
    {
        QDialog::showEvent(event);
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            // Never larger than the screen, frame included.
            const QRect area = screen->availableGeometry();
            const QSize frame = frameGeometry().size() - size();
            resize(size().boundedTo(area.size() - frame));
        }
        centreOnScreen(this);
    }
};

class QtModals final : public Modals {
public:
    void message(const QString &text) override
    {
        showBox(QMessageBox::NoIcon, AppInfo::Title, text, QMessageBox::Ok);
    }
    void error(const QString &text) override
    {
        showBox(QMessageBox::Critical, AppInfo::Title, text, QMessageBox::Ok);
    }
    void exclamation(const QString &caption, const QString &text) override
    {
        showBox(QMessageBox::Warning, caption, text, QMessageBox::Ok);
    }
    bool question(const QString &text) override
    {
        return showBox(QMessageBox::Question, AppInfo::Title, text,
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
    }
    bool questionDefaultNo(const QString &text) override
    {
        return showBox(QMessageBox::Question, AppInfo::Title, text,
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    }
    std::optional<FileDialogResult> file(const FileDialogRequest &request) override
    {
        QFileDialog dialog(QApplication::activeWindow(), request.title,
                           QFile::decodeName(request.directory));
        const QStringList filters = qtFileFilter(request.filter).split(QStringLiteral(";;"));
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 0 && request.filterIndex < filters.size())
            dialog.selectNameFilter(filters.at(request.filterIndex));
        if (request.mode == FileDialogRequest::Mode::Save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            if (!request.confirmOverwrite)
                dialog.setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setOption(QFileDialog::ReadOnly);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return FileDialogResult{QFile::encodeName(dialog.selectedFiles().constFirst()),
                                int(filters.indexOf(dialog.selectedNameFilter()))};
    }
    std::optional<QByteArray> folder(const QString &title, const QByteArray &start, QWidget *owner) override
    {
        const QString chosen = QFileDialog::getExistingDirectory(
            owner ? owner : QApplication::activeWindow(), title, QFile::decodeName(start),
            QFileDialog::ShowDirsOnly);
        if (chosen.isEmpty())
            return std::nullopt;
        return QFile::encodeName(chosen);
    }
    bool wait(const QString &text, Waitable &work) override
    {
        if (work.isFinished())
            return true;
        WaitWindow window(text);
        QEventLoop loop;
        bool cancelled = false;
        QObject::connect(&work, &Waitable::finished, &loop, &QEventLoop::quit);
        QObject::connect(&window, &WaitWindow::cancelRequested, &work, [&] {
            if (work.isFinished())
                return;
            cancelled = true;
            work.cancel();
        });
        window.show();
        if (!work.isFinished())
            loop.exec(QEventLoop::DialogExec);
        window.hide();
        return !cancelled;
    }
    NoticeAnswer notice(const NoticeRequest &request) override
    {
        NoticeDialog dialog(request, QApplication::activeWindow());
        const bool run = dialog.exec() == QDialog::Accepted;
        return {run, dialog.dontAsk->isChecked()};
    }
};

Modals *&installed()
{
    static Modals *modals = nullptr;
    return modals;
}

} // namespace

Modals &Modals::current()
{
    static QtModals qtModals;
    Modals *m = installed();
    return m ? *m : qtModals;
}

Modals *Modals::install(Modals *modals)
{
    Modals *previous = installed();
    installed() = modals;
    return previous;
}

QString qtFileFilter(const QString &oldStyle)
{
    const QStringList parts = oldStyle.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

#include "modals.moc"
