// A list of the plain files of one directory whose names match a mask, sorted by name.
// Used for the configuration list and for the game archive lists. A game list can show, beside
// each archive, the title the emulator gives the system it holds, and can be narrowed to the
// entries whose name or title holds a text.
#pragma once

#include "titles.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QListView>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // The role that holds an entry's title (empty when the emulator knows none, or no titles are
    // known at all); the display role is always the file's name.
    static constexpr int TitleRole = Qt::UserRole + 1;

    void setNames(QList<QByteArray> names);
    // The names shown: those that pass the filter, in order.
    const QList<QByteArray> &names() const { return m_shown; }
    void setTitles(std::shared_ptr<const Titles> titles);
    bool hasTitles() const { return m_titles && !m_titles->isEmpty(); }
    // Shows only the entries whose name or title holds `text`, ignoring letter case; all for "".
    void setFilter(const QString &text);
    QString filter() const { return m_filter; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    void applyFilter();
    QString titleOf(const QByteArray &name) const;

    QList<QByteArray> m_all;
    QList<QByteArray> m_shown;
    std::shared_ptr<const Titles> m_titles;
    QString m_filter;
    std::vector<QByteArrayView> m_titleViews; // per entry of m_all: its title's bytes, looked up when first filtered
};

class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    QByteArray directory() const { return m_directory; }
    QByteArray mask() const { return m_mask; }
    void setMask(const QByteArray &mask) { m_mask = mask; }
    // Leaves out names that hold a line break (for a list whose choice goes into a line of text).
    void setOnlySingleLineNames(bool on) { m_onlySingleLineNames = on; }
    // Lists names that begin with "." too (left out by default).
    void setShowHidden(bool on) { m_showHidden = on; }
    // Shows each entry's title beside its name (game lists).
    void setShowTitles(bool on);
    // Titles, whenever they arrive: the user's place in the list stays (see keepingPlace).
    void setTitles(std::shared_ptr<const Titles> titles);
    // Narrows the list to the entries whose name or title holds `text`. The entry picked stays
    // selected while it is shown, and is selected again once a later text shows it again.
    void setFilterText(const QString &text);
    // Points the list at a directory and reads it.
    void setDirectory(const QByteArray &directory);
    // Reads the directory afresh; nothing is selected, and no row looks current, afterwards.
    void reload();

    const QList<QByteArray> &names() const { return m_model->names(); }
    int count() const { return int(names().size()); }
    int itemIndex() const;             // the selected row, -1 when none
    void setItemIndex(int row);        // selects a row (-1: none)
    QByteArray selectedName() const;   // the selected entry's name, empty when none
    QByteArray fileName() const;       // directory + separator + selected name, empty when none
    // The frame that shows the list has the focus, drawn over its own frame: in the palette's
    // highlight unless set. With no row current, nothing else would show it.
    void setFocusFrameColour(const QColor &colour) { m_focusFrameColour = colour; }

signals:
    // The selected entry changed (by the user or the program).
    void selectionChanged();

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    // Runs a change of the shown rows, keeping the user's place by name: the entry picked, the
    // current row and the first row in view. `selectionChanged` follows only when the selected
    // entry is another one afterwards.
    void keepingPlace(const std::function<void()> &change);
    // Repaints the frame around the rows, which shows the focus.
    void updateFocusFrame();

    FileListModel *m_model;
    QByteArray m_pick;      // the entry the user (or the program) selected last
    bool m_changing = false;
    QColor m_focusFrameColour;
    QByteArray m_directory;
    QByteArray m_mask = "*";
    bool m_onlySingleLineNames = false;
    bool m_showHidden = false;
};
