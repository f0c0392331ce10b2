// The rows of a game list: the sets of one ROM folder (".zip" and ".7z" archives, and folders
// named after a machine of the catalogue), each with what the emulator says of its machine (title,
// year, maker, driver status, parent) and what the audit found. The columns are described once,
// in GameListModel::columns(); every use (headers, cells, tooltips, sorting, accessible names)
// reads them.
//
// Rows are kept as the listing's names and the catalogue's machine indexes: the texts are views
// into the catalogue, decoded only when a row is painted. Sorting makes one key per row for the
// column sorted by, and narrowing (Find, Show) scans those views as bytes.
#pragma once

#include "catalogue.h"
#include "romaudit.h"
#include "titles.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <vector>

class GameListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Title, Year, Manufacturer, Driver, Parent, Status, ColumnCount };
    struct ColumnInfo {
        const char *header;
        const char *description; // the header's tooltip and accessible description
        int width;               // its first width, in average characters
    };
    static const ColumnInfo &columns(int column);

    // What the "Show" choice narrows the list to.
    enum class Show { All, Working, Parents, Known, Playable };
    struct ShowInfo {
        Show show;
        const char *text;
    };
    static const QList<ShowInfo> &showChoices();

    explicit GameListModel(QObject *parent = nullptr);

    // The folder's entries: `files` (archives) and `directories`, each sorted by name. A directory
    // is listed as a set when it is named after a machine of the catalogue and no archive of the
    // folder holds that machine.
    void setEntries(QList<QByteArray> files, QList<QByteArray> directories);
    void setTitles(std::shared_ptr<const Titles> titles);
    void setCatalogue(std::shared_ptr<const Catalogue> catalogue);
    const Catalogue *catalogue() const { return m_catalogue.get(); }
    // Verdicts of the audit, by machine name; more may follow. An empty list forgets them all.
    void addVerdicts(const QList<RomAudit::Verdict> &verdicts);
    void clearVerdicts();
    // The verdict for the set at `row`; null while none is known.
    const RomAudit::Verdict *verdict(int row) const;
    bool hasVerdicts() const { return !m_verdicts.isEmpty(); }

    void setFilter(const QString &text);
    QString filter() const { return m_filter; }
    void setShow(Show show);
    Show show() const { return m_show; }

    // The names shown, in order.
    int size() const { return int(m_shown.size()); }
    const QByteArray &nameAt(int row) const { return m_rows[size_t(m_shown[size_t(row)])].name; }
    bool isDirectoryAt(int row) const { return m_rows[size_t(m_shown[size_t(row)])].directory; }
    // The set the entry at `row` holds, as the audit names it ("pacman" for "Pacman.ZIP").
    QByteArray setNameAt(int row) const { return setName(m_rows[size_t(m_shown[size_t(row)])]); }
    // The row showing the entry `name`; -1 when it is not shown.
    int rowOf(const QByteArray &name) const;
    // The catalogue's index of the machine at `row`; -1 when the emulator does not know it.
    int machineAt(int row) const { return m_rows[size_t(m_shown[size_t(row)])].machine; }

    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // The text of one cell, and of a whole row as a screen reader says it.
    QString text(int row, int column) const;
    QString accessibleText(int row) const;

private:
    struct Row {
        QByteArray name;      // as on disk
        int machine = -1;     // in the catalogue
        int verdict = -1;     // in m_verdicts
        bool directory = false;
    };
    static QByteArray setName(const Row &row);
    void rebuild();
    void matchVerdicts();     // m_rowBySet, and each row's verdict           // rows from the entries and the catalogue
    void applyOrder();        // m_order from the sort column
    void applyFilter();       // m_shown from m_order, the filter and the choice
    bool passesShow(const Row &row) const;
    QByteArrayView titleOf(const Row &row) const;
    QByteArrayView cellBytes(const Row &row, int column) const;
    QString toolTip(const Row &row, int column) const;
    QString statusText(const Row &row) const;
    void reset(const std::function<void()> &change);

    QList<QByteArray> m_files;
    QList<QByteArray> m_directories;
    std::shared_ptr<const Titles> m_titles;
    std::shared_ptr<const Catalogue> m_catalogue;
    std::vector<Row> m_rows;
    std::vector<int> m_order;   // rows in the order sorted by
    std::vector<int> m_shown;   // the rows shown, in order
    QList<RomAudit::Verdict> m_verdicts;
    QHash<QByteArray, int> m_verdictByName;
    QMultiHash<QByteArray, int> m_rowBySet;   // made when the first verdicts come
    QString m_filter;
    Show m_show = Show::All;
    int m_sortColumn = Name;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
