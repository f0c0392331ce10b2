// The details of the selected game, beside a game list or below it: its title, year and maker,
// parent and clones, BIOS, players and controls, screen, driver status and feature notes, source
// file, the audit's verdict, a Verify button, and its snapshot.
//
// The text is made at once in showGame(); the picture is found and decoded on a worker and shown
// when it is ready if the same game is still selected. At most one picture is worked on at a time
// and at most one waits: a newer selection replaces the waiting one, so arrow keys held down never
// pile up decodes.
#pragma once

#include "catalogue.h"
#include "romaudit.h"

#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;

class GameDetails : public QWidget {
    Q_OBJECT
public:
    explicit GameDetails(QWidget *parent = nullptr);
    ~GameDetails() override;

    // The catalogue the games are read from; null: only their names are shown.
    void setCatalogue(std::shared_ptr<const Catalogue> catalogue);
    void setSnapshotFolders(QList<QByteArray> folders);
    // The game of the selected row: its archive or set name ("pacman.zip", "pacman.7z",
    // "pacman"), empty for none; `verdict` is the audit's for that set, null while unknown.
    void showGame(const QByteArray &setName, const RomAudit::Verdict *verdict);

    QString text() const;  // the text shown, for tests and the screen reader
    // Where the pane's controls come in a window's tab order: the text, then Verify.
    QWidget *firstInTabOrder() const;
    QWidget *lastInTabOrder() const;
    bool hasPicture() const;
    // The machine whose picture is shown (a clone's parent's, when the clone has none).
    QByteArray pictureOf() const { return m_pictureOf; }

    // The details' text for one game, as showGame() shows it.
    static QString describe(const Catalogue *catalogue, const std::vector<int> &cloneStart,
                            const std::vector<int> &clones, const QByteArray &setName,
                            const RomAudit::Verdict *verdict);

signals:
    void verifyRequested(const QByteArray &machine);
    void pictureShown();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Request {
        quint64 generation = 0;
        QList<QByteArray> names;  // the machine, then its parent
        QList<QByteArray> folders;
        QSize size;
    };
    struct Channel;
    void startPicture(Request request);
    void pictureReady(quint64 generation, const QImage &image, const QImage &scaled, const QByteArray &of,
                      const QString &none);
    void showScaled();
    void indexClones();

    std::shared_ptr<const Catalogue> m_catalogue;
    // Clones by parent: those of machine i are m_clones[m_cloneStart[i] .. m_cloneStart[i + 1]).
    std::vector<int> m_cloneStart;
    std::vector<int> m_clones;
    QList<QByteArray> m_folders;
    QByteArray m_machine;
    quint64 m_generation = 0;
    bool m_busy = false;
    std::optional<Request> m_waiting;
    std::shared_ptr<Channel> m_channel;
    QImage m_image;
    QByteArray m_pictureOf;
    QLabel *m_picture = nullptr;
    QLabel *m_text = nullptr;
    QPushButton *m_verify = nullptr;
};
