// A game list: the sets of one ROM folder as a table (GameListModel), sortable by any column with
// the mouse (a header) or the keyboard (Ctrl+1 ... Ctrl+7, again for the other way), narrowed by
// Find and the "Show" choice. What the emulator says (titles, then the catalogue) and what the
// audit finds arrive while the list is in use; through every arrival the user keeps the entry
// picked, the current row and the first row in view.
#pragma once

#include "gamelistmodel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTableView>
#include <functional>

class QSettings;

class GameList : public QTableView {
    Q_OBJECT
public:
    explicit GameList(QWidget *parent = nullptr);

    QByteArray directory() const { return m_directory; }
    // The files listed: archives of these kinds, and folders named after a machine.
    static QByteArray mask() { return "*.zip;*.7z"; }
    // Leaves out names that hold a line break (for a list whose choice goes into a line of text).
    void setOnlySingleLineNames(bool on) { m_onlySingleLineNames = on; }
    // Points the list at a directory and reads it; the audit's verdicts are forgotten.
    void setDirectory(const QByteArray &directory);
    // Reads the directory afresh; nothing is selected afterwards.
    void reload();

    void setTitles(std::shared_ptr<const Titles> titles);
    void setCatalogue(std::shared_ptr<const Catalogue> catalogue);
    const Catalogue *catalogue() const { return m_model->catalogue(); }
    void addVerdicts(const QList<RomAudit::Verdict> &verdicts);
    // Narrows the list (Find; the "Show" choice). The entry picked stays selected while it is
    // shown, and is selected again once a later narrowing shows it again.
    void setFilterText(const QString &text);
    void setShow(GameListModel::Show show);

    GameListModel *gameModel() const { return m_model; }
    // The entries shown, in order.
    QList<QByteArray> names() const;
    int count() const { return m_model->size(); }
    int itemIndex() const;             // the selected row, -1 when none
    void setItemIndex(int row);        // selects a row (-1: none)
    QByteArray selectedName() const;   // the selected entry's name, empty when none
    QByteArray fileName() const;       // directory + separator + selected name, empty when none
    // The catalogue's machine of the selected row (-1: none or not known) and its verdict.
    int selectedMachine() const;
    const RomAudit::Verdict *selectedVerdict() const;
    // The set names of the rows in view, for an audit that takes them first.
    QList<QByteArray> setNamesInView() const;

    // The order and the column widths, kept in `settings` under `group`.
    void saveLayout(QSettings &settings, const QString &group) const;
    void restoreLayout(QSettings &settings, const QString &group);

signals:
    // The selected entry changed (by the user or the program).
    void selectionChanged();
    // Other rows came into view (scrolled, narrowed, sorted, resized).
    void viewChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Runs a change of the shown rows, keeping the user's place by name: the entry picked, the
    // current row and the first row in view. `selectionChanged` follows only when the selected
    // entry is another one afterwards.
    void keepingPlace(const std::function<void()> &change);
    void sortBy(int column);

    GameListModel *m_model;
    QByteArray m_pick;      // the entry the user (or the program) selected last
    bool m_changing = false;
    QByteArray m_directory;
    bool m_onlySingleLineNames = false;
};
