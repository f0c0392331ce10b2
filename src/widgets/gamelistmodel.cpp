#include "gamelistmodel.h"

#include "pathrules.h"
#include "textcodec.h"

#include <algorithm>

namespace {

const GameListModel::ColumnInfo Columns[GameListModel::ColumnCount] = {
    {"Name", "The set's archive or folder in the ROM folder", 12},
    {"Title", "The game's title, as the emulator gives it", 30},
    {"Year", "The year the game came out", 5},
    {"Manufacturer", "Who made the game", 18},
    {"Driver", "How well the emulator plays the game: good, imperfect or preliminary; BIOS and device "
               "sets, and sets the emulator does not know, say so",
     9},
    {"Clone of", "The parent set of a clone", 9},
    {"Status", "What the audit of the ROM folder found: whether the game will run, and why not", 12},
};

using PathRules::lowerAscii;

// Whether `haystack` holds `needle` (already in lower case), ASCII letters in any case.
bool containsFolded(QByteArrayView haystack, QByteArrayView needle)
{
    const qsizetype n = needle.size();
    if (n == 0)
        return true;
    for (qsizetype i = 0; i + n <= haystack.size(); ++i) {
        if (lowerAscii(haystack[i]) != needle[0])
            continue;
        qsizetype k = 1;
        while (k < n && lowerAscii(haystack[i + k]) == needle[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

int compareFolded(QByteArrayView a, QByteArrayView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(lowerAscii(a[i])), y = static_cast<unsigned char>(lowerAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// The name of the set an entry holds, as the audit names it: in lower case, without the archive's
// extension.
QByteArray setNameOf(const QByteArray &entry, bool directory)
{
    QByteArray name = entry.toLower();
    if (!directory && (name.endsWith(".zip") || name.endsWith(".7z")))
        name.truncate(name.lastIndexOf('.'));
    return name;
}

bool nameLess(const QByteArray &a, const QByteArray &b)
{
    const int c = compareFolded(a, b);
    return c != 0 ? c < 0 : a < b;
}

QString statusWord(Catalogue::Status status)
{
    switch (status) {
    case Catalogue::Status::Good:
        return QStringLiteral("good");
    case Catalogue::Status::Imperfect:
        return QStringLiteral("imperfect");
    case Catalogue::Status::Preliminary:
        return QStringLiteral("preliminary");
    case Catalogue::Status::Unknown:
        break;
    }
    return {};
}

// The machine's features that are emulated badly or not at all, as a sentence.
QString featureNotes(const Catalogue::Machine &machine)
{
    QStringList imperfect, unemulated;
    for (const Catalogue::Feature &feature : machine.features()) {
        const Catalogue::FeatureState state = std::max(feature.status, feature.overall);
        (state == Catalogue::FeatureState::Unemulated ? unemulated : imperfect) << QString::fromUtf8(feature.type);
    }
    QStringList parts;
    if (!imperfect.isEmpty())
        parts << QStringLiteral("emulated imperfectly: %1").arg(imperfect.join(QStringLiteral(", ")));
    if (!unemulated.isEmpty())
        parts << QStringLiteral("not emulated: %1").arg(unemulated.join(QStringLiteral(", ")));
    return parts.join(QStringLiteral("; "));
}

} // namespace

const GameListModel::ColumnInfo &GameListModel::columns(int column)
{
    return Columns[column];
}

const QList<GameListModel::ShowInfo> &GameListModel::showChoices()
{
    static const QList<ShowInfo> choices = {
        {Show::All, "All sets"},
        {Show::Working, "Working"},
        {Show::Parents, "Parents only"},
        {Show::Known, "Games the emulator knows"},
        {Show::Playable, "Playable"},
    };
    return choices;
}

GameListModel::GameListModel(QObject *parent) : QAbstractTableModel(parent) {}

void GameListModel::reset(const std::function<void()> &change)
{
    beginResetModel();
    change();
    endResetModel();
}

void GameListModel::setEntries(QList<QByteArray> files, QList<QByteArray> directories)
{
    reset([&] {
        m_files = std::move(files);
        m_directories = std::move(directories);
        rebuild();
    });
}

void GameListModel::setTitles(std::shared_ptr<const Titles> titles)
{
    if (titles == m_titles)
        return;
    reset([&] {
        m_titles = std::move(titles);
        applyOrder();
    });
}

void GameListModel::setCatalogue(std::shared_ptr<const Catalogue> catalogue)
{
    if (catalogue == m_catalogue)
        return;
    reset([&] {
        m_catalogue = std::move(catalogue);
        rebuild();
    });
}

void GameListModel::rebuild()
{
    m_rows.clear();
    m_rows.reserve(size_t(m_files.size()));
    const Catalogue *catalogue = m_catalogue && !m_catalogue->isEmpty() ? m_catalogue.get() : nullptr;
    std::vector<bool> held(catalogue ? size_t(catalogue->size()) : 0);
    for (const QByteArray &file : std::as_const(m_files)) {
        Row row{file, catalogue ? catalogue->indexOfArchive(file) : -1, -1, false};
        if (row.machine >= 0)
            held[size_t(row.machine)] = true;
        m_rows.push_back(std::move(row));
    }
    // A folder is a set only when it is named after a machine no archive already holds (a folder
    // beside an archive holds its disks).
    if (catalogue) {
        const size_t archives = m_rows.size();
        for (const QByteArray &directory : std::as_const(m_directories)) {
            const int machine = catalogue->indexOfArchive(directory);
            if (machine >= 0 && !held[size_t(machine)] && !directory.contains('.'))
                m_rows.push_back({directory, machine, -1, true});
        }
        if (m_rows.size() > archives)
            std::inplace_merge(m_rows.begin(), m_rows.begin() + qsizetype(archives), m_rows.end(),
                               [](const Row &a, const Row &b) { return nameLess(a.name, b.name); });
    }
    m_rowBySet.clear();
    if (!m_verdicts.isEmpty())
        matchVerdicts();
    applyOrder();
}

void GameListModel::addVerdicts(const QList<RomAudit::Verdict> &verdicts)
{
    if (verdicts.isEmpty())
        return;
    if (m_rowBySet.isEmpty())
        matchVerdicts();
    for (const RomAudit::Verdict &verdict : verdicts) {
        int v = m_verdictByName.value(verdict.set, -1);
        if (v >= 0) {
            m_verdicts[v] = verdict;
        } else {
            v = int(m_verdicts.size());
            m_verdictByName.insert(verdict.set, v);
            m_verdicts.append(verdict);
        }
        for (auto row = m_rowBySet.constFind(verdict.set); row != m_rowBySet.cend() && row.key() == verdict.set; ++row)
            m_rows[size_t(row.value())].verdict = v;
    }
    if (m_show == Show::Playable || m_sortColumn == Status) {
        reset([this] { applyOrder(); });
    } else if (!m_shown.empty()) {
        emit dataChanged(index(0, Status), index(int(m_shown.size()) - 1, Status));
    }
}

void GameListModel::matchVerdicts()
{
    // Rows find their verdicts by their set's name; an archive and a folder of one name are one set.
    m_rowBySet.clear();
    m_rowBySet.reserve(qsizetype(m_rows.size()));
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        const QByteArray name = setName(row);
        m_rowBySet.insert(name, int(i));
        row.verdict = m_verdictByName.value(name, -1);
    }
}

void GameListModel::clearVerdicts()
{
    if (m_verdicts.isEmpty())
        return;
    reset([this] {
        m_verdicts.clear();
        m_verdictByName.clear();
        for (Row &row : m_rows)
            row.verdict = -1;
        applyOrder();
    });
}

const RomAudit::Verdict *GameListModel::verdict(int row) const
{
    if (row < 0 || row >= size())
        return nullptr;
    const int v = m_rows[size_t(m_shown[size_t(row)])].verdict;
    return v < 0 ? nullptr : &m_verdicts[v];
}

void GameListModel::setFilter(const QString &text)
{
    if (text == m_filter)
        return;
    reset([&] {
        m_filter = text;
        applyFilter();
    });
}

void GameListModel::setShow(Show show)
{
    if (show == m_show)
        return;
    reset([&] {
        m_show = show;
        applyFilter();
    });
}

void GameListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QList<QByteArray> names;
    for (const QModelIndex &index : before)
        names << (index.row() < size() ? nameAt(index.row()) : QByteArray());
    m_sortColumn = column;
    m_sortOrder = order;
    applyOrder();
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int row = rowOf(names[i]);
        after << (row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void GameListModel::applyOrder()
{
    const size_t n = m_rows.size();
    m_order.resize(n);
    for (size_t i = 0; i < n; ++i)
        m_order[i] = int(i);
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    if (m_sortColumn == Name) {
        if (descending)
            std::reverse(m_order.begin(), m_order.end());
    } else if (m_sortColumn == Driver || m_sortColumn == Status) {
        // A rank per row: the better first, what is not known last.
        std::vector<int> rank(n);
        for (size_t i = 0; i < n; ++i) {
            const Row &row = m_rows[i];
            if (m_sortColumn == Status) {
                rank[i] = row.verdict < 0 ? 100 : int(m_verdicts[row.verdict].state);
            } else if (row.machine < 0 || !m_catalogue) {
                rank[i] = 100;
            } else {
                const Catalogue::Machine machine = m_catalogue->machine(row.machine);
                rank[i] = machine.isBios() || machine.isDevice() ? 50
                    : machine.status() == Catalogue::Status::Unknown ? 40
                                                                     : int(machine.status());
            }
        }
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const bool lastA = rank[size_t(a)] >= 50, lastB = rank[size_t(b)] >= 50;
            if (lastA != lastB)
                return lastB;
            return descending ? rank[size_t(a)] > rank[size_t(b)] : rank[size_t(a)] < rank[size_t(b)];
        });
    } else {
        // One key per row, made once: a view of the column's text.
        std::vector<QByteArrayView> key(n);
        for (size_t i = 0; i < n; ++i)
            key[i] = cellBytes(m_rows[i], m_sortColumn);
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const QByteArrayView x = key[size_t(a)], y = key[size_t(b)];
            if (x.isEmpty() != y.isEmpty())
                return y.isEmpty(); // rows without the text last, either way
            const int c = compareFolded(x, y);
            return descending ? c > 0 : c < 0;
        });
    }
    applyFilter();
}

bool GameListModel::passesShow(const Row &row) const
{
    if (m_show == Show::All)
        return true;
    if (m_show == Show::Playable)
        return row.verdict >= 0 && m_verdicts[row.verdict].playable();
    if (row.machine < 0 || !m_catalogue)
        return false;
    const Catalogue::Machine machine = m_catalogue->machine(row.machine);
    switch (m_show) {
    case Show::Working:
        return machine.isGame() && machine.emulation() == Catalogue::Status::Good;
    case Show::Parents:
        return machine.isGame() && machine.cloneOf().isEmpty();
    case Show::Known:
        return machine.isGame();
    default:
        return true;
    }
}

void GameListModel::applyFilter()
{
    m_shown.clear();
    m_shown.reserve(m_order.size());
    bool ascii = true;
    for (const QChar c : m_filter)
        ascii = ascii && c.unicode() < 0x80;
    QByteArray needle;
    QString folded;
    if (ascii) {
        needle = m_filter.toLatin1();
        for (char &c : needle)
            c = lowerAscii(c);
    } else {
        folded = m_filter.toCaseFolded();
    }
    // Names, titles, years and makers are searched as the bytes they are, a text of plain letters
    // matching in any case: a keystroke over a full romset takes a few milliseconds and no index.
    // A text beyond ASCII compares the decoded texts, folded.
    const auto matches = [&](QByteArrayView bytes) {
        return ascii ? containsFolded(bytes, needle) : QString::fromUtf8(bytes).toCaseFolded().contains(folded);
    };
    for (const int i : m_order) {
        const Row &row = m_rows[size_t(i)];
        if (!passesShow(row))
            continue;
        if (!m_filter.isEmpty()) {
            const bool found = (ascii ? containsFolded(row.name, needle)
                                      : TextCodec::decode(row.name).toCaseFolded().contains(folded))
                || matches(titleOf(row)) || matches(cellBytes(row, Year)) || matches(cellBytes(row, Manufacturer));
            if (!found)
                continue;
        }
        m_shown.push_back(i);
    }
}

int GameListModel::rowOf(const QByteArray &name) const
{
    if (name.isEmpty())
        return -1;
    for (size_t i = 0; i < m_shown.size(); ++i)
        if (m_rows[size_t(m_shown[i])].name == name)
            return int(i);
    return -1;
}

QByteArrayView GameListModel::titleOf(const Row &row) const
{
    if (row.machine >= 0)
        return m_catalogue->machine(row.machine).description();
    if (m_titles && (!m_catalogue || m_catalogue->isEmpty()))
        return m_titles->titleOfArchive(row.name);
    return {};
}

QByteArrayView GameListModel::cellBytes(const Row &row, int column) const
{
    if (column == Name)
        return row.name;
    if (column == Title)
        return titleOf(row);
    if (row.machine < 0)
        return {};
    const Catalogue::Machine machine = m_catalogue->machine(row.machine);
    switch (column) {
    case Year:
        return machine.year();
    case Manufacturer:
        return machine.manufacturer();
    case Parent:
        return machine.cloneOf();
    default:
        return {};
    }
}

QByteArray GameListModel::setName(const Row &row)
{
    return setNameOf(row.name, row.directory);
}

QString GameListModel::statusText(const Row &row) const
{
    return row.verdict < 0 ? QString() : RomAudit::stateText(m_verdicts[row.verdict].state);
}

QString GameListModel::text(int r, int column) const
{
    const Row &row = m_rows[size_t(m_shown[size_t(r)])];
    switch (column) {
    case Name:
        return TextCodec::decode(row.name);
    case Driver: {
        const bool known = m_catalogue && !m_catalogue->isEmpty();
        if (row.machine < 0)
            return known ? QStringLiteral("unknown") : QString();
        const Catalogue::Machine machine = m_catalogue->machine(row.machine);
        if (machine.isBios())
            return QStringLiteral("BIOS");
        if (machine.isDevice())
            return QStringLiteral("device");
        return statusWord(machine.status());
    }
    case Status:
        return statusText(row);
    default:
        return QString::fromUtf8(cellBytes(row, column));
    }
}

QString GameListModel::toolTip(const Row &row, int column) const
{
    const bool knowsMachines = (m_catalogue && !m_catalogue->isEmpty()) || (m_titles && !m_titles->isEmpty());
    const QString name = TextCodec::decode(row.name);
    if (column == Status && row.verdict >= 0)
        return m_verdicts[row.verdict].summary;
    if (row.machine >= 0 && (column == Driver || column == Status)) {
        const Catalogue::Machine machine = m_catalogue->machine(row.machine);
        if (machine.isBios() || machine.isDevice())
            return QStringLiteral("%1 is a %2 set: games use its files, it is not a game itself")
                .arg(name, machine.isBios() ? QStringLiteral("BIOS") : QStringLiteral("device"));
        const QString notes = featureNotes(machine);
        const QString word = statusWord(machine.status());
        if (word.isEmpty())
            return notes;
        return notes.isEmpty() ? QStringLiteral("Driver status: %1").arg(word)
                               : QStringLiteral("Driver status: %1; %2").arg(word, notes);
    }
    const QByteArrayView title = titleOf(row);
    if (!title.isEmpty())
        return QString::fromUtf8(title);
    return knowsMachines ? QStringLiteral("The emulator does not know %1").arg(name) : name;
}

QString GameListModel::accessibleText(int r) const
{
    const Row &row = m_rows[size_t(m_shown[size_t(r)])];
    QStringList parts;
    for (int column = 0; column < ColumnCount; ++column) {
        QString cell = text(r, column);
        if (cell.isEmpty())
            continue;
        if (column == Parent)
            cell = QStringLiteral("clone of %1").arg(cell);
        else if (column == Driver && row.machine >= 0)
            cell = QStringLiteral("driver %1").arg(cell);
        else if (column == Status)
            cell = QStringLiteral("audit: %1").arg(cell);
        parts << cell;
    }
    if (row.machine < 0 && (m_catalogue || m_titles) && parts.size() == 1)
        parts << QStringLiteral("not known to the emulator");
    return parts.join(QStringLiteral(", "));
}

int GameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int GameListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant GameListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= size())
        return {};
    const Row &row = m_rows[size_t(m_shown[size_t(index.row())])];
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column()); // decoded only when shown
    case Qt::ToolTipRole:
        return toolTip(row, index.column());
    case Qt::AccessibleTextRole:
        // The first cell says the whole row: a screen reader moving through the rows hears what a
        // sighted user sees. The others say their own text.
        return index.column() == Name ? accessibleText(index.row()) : text(index.row(), index.column());
    default:
        return {};
    }
}

QVariant GameListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    const ColumnInfo &column = Columns[section];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromLatin1(column.header);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return QStringLiteral("%1. Click, or press Ctrl+%2 in the list, to sort by it.")
            .arg(QString::fromLatin1(column.description))
            .arg(section + 1);
    case Qt::AccessibleTextRole: {
        QString name = QString::fromLatin1(column.header);
        if (section == m_sortColumn)
            name += m_sortOrder == Qt::AscendingOrder ? QStringLiteral(", sorted ascending")
                                                      : QStringLiteral(", sorted descending");
        return name;
    }
    default:
        return {};
    }
}
