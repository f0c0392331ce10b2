#include "modals.h"

#include "appinfo.h"
#include "screen.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace {

// A message box centred on the screen once it has its final size, which it takes when shown.
class CentredBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        centreOnScreen(this);
    }
};

int showBox(QMessageBox::Icon icon, const QString &title, const QString &text,
            QMessageBox::StandardButtons buttons)
{
    CentredBox box(icon, title, text, buttons);
    return box.exec();
}

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
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
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
            // The program replaces a chosen file without asking.
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
