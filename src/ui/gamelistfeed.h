// What a game list window shows beside the folder's names, fed as it arrives: the emulator's
// titles, then its catalogue (read in the background when none is kept), then the quick audit of
// the folder (kept verdicts at once, the rest as they come, the rows in view first). The work
// going on shows in the window's WorkStrip, with Cancel; the list works meanwhile.
#pragma once

#include "catalogue.h"
#include "romaudit.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <memory>

class AuditRunner;
class GameDetails;
class GameList;
class Launcher;
class WorkStrip;

class GameListFeed : public QObject {
    Q_OBJECT
public:
    GameListFeed(Launcher &launcher, GameList *list, WorkStrip *strip, QObject *parent = nullptr);
    ~GameListFeed() override;

    // The pane that shows the selected game, following the list's selection.
    void setDetails(GameDetails *details);
    // The list now shows a folder for `program`'s games: what is known is shown at once, the rest
    // asked for.
    void open(const QByteArray &program);
    // The list shows another folder (Change Directory, Refresh): its audit starts again.
    void folderChanged();
    // Verifies the whole folder: every needed file read and its SHA-1 checked; the verdicts
    // replace the quick ones as they come.
    void verifyFolder();
    // Verifies one machine's files, in the background.
    void verify(const QByteArray &machine);
    // The window closed: the audit stops (what it found is kept); a catalogue being read goes on,
    // for the next time.
    void close();

    const QByteArray &program() const { return m_program; }
    bool auditing() const;

signals:
    // The catalogue arrived (or went): the details shown may say more now.
    void catalogueChanged();
    // The audit told new verdicts.
    void verdictsChanged();

private:
    void lookUpCatalogue();
    void setCatalogue(std::shared_ptr<const Catalogue> catalogue);
    void showSelected(bool always);
    void catalogueReady();
    void startAudit(RomAudit::Depth depth = RomAudit::Depth::Quick);
    void stopAudit();
    void cancel();

    Launcher &m_launcher;
    GameList *m_list;
    WorkStrip *m_strip;
    GameDetails *m_details = nullptr;
    // What the details pane shows: the set and the verdict's state (-1: none).
    QByteArray m_shownSet;
    int m_shownState = -1;
    QByteArray m_program;
    QPointer<AuditRunner> m_audit;
    bool m_open = false;
    bool m_waitingForVersion = false;
};
