#include "gamedetails.h"

#include "snapshots.h"

#include <QLabel>
#include <QMutex>
#include <QPushButton>
#include <QThreadPool>
#include <QResizeEvent>
#include <QVBoxLayout>

// What a worker and the pane share: the worker posts its result only while the pane lives.
struct GameDetails::Channel {
    QMutex mutex;
    GameDetails *pane = nullptr;
};

namespace {

QString utf8(QByteArrayView text)
{
    return QString::fromUtf8(text.data(), text.size());
}

// The set name without a known archive extension.
QByteArray machineName(const QByteArray &setName)
{
    const QByteArray lower = setName.toLower();
    for (const char *ext : {".zip", ".7z"})
        if (lower.endsWith(ext) && lower.size() > qsizetype(qstrlen(ext)))
            return setName.left(setName.size() - qsizetype(qstrlen(ext)));
    return setName;
}

QString statusText(Catalogue::Status s)
{
    switch (s) {
    case Catalogue::Status::Good: return QStringLiteral("good");
    case Catalogue::Status::Imperfect: return QStringLiteral("imperfect");
    case Catalogue::Status::Preliminary: return QStringLiteral("preliminary");
    case Catalogue::Status::Unknown: break;
    }
    return QStringLiteral("unknown");
}

QString screenText(Catalogue::Screen s)
{
    static const char *const names[] = {"none", "raster", "vector", "LCD", "SVG", "unknown"};
    return QString::fromLatin1(names[qBound(0, int(s), 5)]);
}

QString featureText(Catalogue::FeatureState s)
{
    return s == Catalogue::FeatureState::Unemulated ? QStringLiteral("unemulated") : QStringLiteral("imperfect");
}

// "Title (name)" of machine `index`.
QString named(const Catalogue &catalogue, int index)
{
    const Catalogue::Machine m = catalogue.machine(index);
    return QStringLiteral("%1 (%2)").arg(utf8(m.description()), utf8(m.name()));
}

// The picture's worker: the first machine of `names` with a picture, decoded and scaled to `size`.
struct Found {
    QImage image;   // as decoded
    QImage scaled;  // to the pane's room as it was asked for
    QByteArray of;
    QString none;
};

Found findPicture(const QList<QByteArray> &names, const QList<QByteArray> &folders, const QSize &size)
{
    Found found;
    for (const QByteArray &name : names) {
        const std::optional<Snapshots::Picture> picture = Snapshots::find(folders, name);
        if (!picture)
            continue;
        QImage image = QImage::fromData(Snapshots::read(*picture), "PNG");
        if (image.isNull())
            continue;
        found.of = name;
        found.scaled = size.isEmpty() ? image : image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        found.image = std::move(image);
        return found;
    }
    found.none = Snapshots::whereLooked(folders, names.value(0));
    return found;
}

} // namespace

GameDetails::GameDetails(QWidget *parent)
    : QWidget(parent), m_channel(std::make_shared<Channel>())
{
    setObjectName(QStringLiteral("gamedetails"));
    m_channel->pane = this;
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("snapshot"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(160, 120);
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_picture->setWordWrap(true);
    m_picture->setTextFormat(Qt::PlainText);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("detailstext"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setFocusPolicy(Qt::StrongFocus);
    m_text->setAccessibleName(QStringLiteral("Game details"));
    m_verify = new QPushButton(QStringLiteral("&Verify"), this);
    m_verify->setObjectName(QStringLiteral("verify"));
    m_verify->setAccessibleName(QStringLiteral("Verify this game's ROM files"));
    m_verify->setFocusPolicy(Qt::StrongFocus);
    m_verify->setEnabled(false);
    connect(m_verify, &QPushButton::clicked, this, [this] {
        if (!m_machine.isEmpty())
            emit verifyRequested(m_machine);
    });
    auto *layout = new QBoxLayout(QBoxLayout::TopToBottom, this);
    layout->addWidget(m_picture, 3);
    auto *about = new QVBoxLayout;
    about->addWidget(m_text, 1);
    about->addWidget(m_verify, 0, Qt::AlignLeft);
    layout->addLayout(about, 2);
    setTabOrder(m_text, m_verify);
    showGame({}, nullptr);
}

GameDetails::~GameDetails()
{
    QMutexLocker lock(&m_channel->mutex);
    m_channel->pane = nullptr;
}

void GameDetails::setCatalogue(std::shared_ptr<const Catalogue> catalogue)
{
    m_catalogue = std::move(catalogue);
    indexClones();
}

void GameDetails::indexClones()
{
    m_cloneStart.clear();
    m_clones.clear();
    if (!m_catalogue)
        return;
    const int n = m_catalogue->size();
    m_cloneStart.assign(size_t(n) + 1, 0);
    std::vector<int> parents(size_t(n), -1);
    for (int i = 0; i < n; ++i) {
        const int p = m_catalogue->machine(i).parent();
        if (p >= 0 && p < n && p != i) {
            parents[size_t(i)] = p;
            ++m_cloneStart[size_t(p) + 1];
        }
    }
    for (int i = 0; i < n; ++i)
        m_cloneStart[size_t(i) + 1] += m_cloneStart[size_t(i)];
    m_clones.resize(size_t(m_cloneStart[size_t(n)]));
    std::vector<int> fill(m_cloneStart.begin(), m_cloneStart.end() - 1);
    for (int i = 0; i < n; ++i) // in name order, as the catalogue is
        if (parents[size_t(i)] >= 0)
            m_clones[size_t(fill[size_t(parents[size_t(i)])]++)] = i;
}

void GameDetails::setSnapshotFolders(QList<QByteArray> folders)
{
    m_folders = std::move(folders);
}

QString GameDetails::describe(const Catalogue *catalogue, const std::vector<int> &cloneStart,
                              const std::vector<int> &clones, const QByteArray &setName,
                              const RomAudit::Verdict *verdict)
{
    if (setName.isEmpty())
        return QStringLiteral("No game selected.");
    const QByteArray name = machineName(setName);
    QStringList lines;
    const int index = catalogue ? catalogue->indexOfArchive(setName) : -1;
    if (!catalogue) {
        lines << utf8(name) << QStringLiteral("The emulator's catalogue is not read yet: only the name is known.");
    } else if (index < 0) {
        lines << utf8(name) << QStringLiteral("The emulator does not know %1.").arg(utf8(setName));
    } else {
        const Catalogue::Machine m = catalogue->machine(index);
        lines << utf8(m.description());
        QStringList about{utf8(m.name())};
        if (!m.year().isEmpty())
            about << utf8(m.year());
        if (!m.manufacturer().isEmpty())
            about << utf8(m.manufacturer());
        lines << about.join(QStringLiteral(", "));
        if (m.isBios())
            lines << QStringLiteral("A BIOS set: games use it, it does not run by itself.");
        if (m.isDevice())
            lines << QStringLiteral("A device set: a part of other machines, it does not run by itself.");
        if (!m.cloneOf().isEmpty())
            lines << QStringLiteral("Clone of %1").arg(m.parent() >= 0 ? named(*catalogue, m.parent()) : utf8(m.cloneOf()));
        if (size_t(index) + 1 < cloneStart.size() && cloneStart[size_t(index)] < cloneStart[size_t(index) + 1]) {
            QStringList names;
            const int first = cloneStart[size_t(index)], end = cloneStart[size_t(index) + 1];
            for (int c = first; c < end && c < first + 20; ++c)
                names << utf8(catalogue->machine(clones[size_t(c)]).name());
            if (end - first > 20)
                names << QStringLiteral("and %1 more").arg(end - first - 20);
            lines << QStringLiteral("Clones: %1").arg(names.join(QStringLiteral(", ")));
        }
        if (!m.romOf().isEmpty() && m.romOf() != m.cloneOf()) {
            const int bios = catalogue->indexOf(m.romOf());
            if (bios >= 0 && catalogue->machine(bios).isBios())
                lines << QStringLiteral("BIOS: %1").arg(named(*catalogue, bios));
        }
        if (!m.isBios() && !m.isDevice()) {
            QStringList input;
            if (m.players() > 0)
                input << QStringLiteral("%1 player%2").arg(m.players()).arg(m.players() == 1 ? "" : "s");
            if (!m.controls().isEmpty())
                input << utf8(m.controls());
            if (m.buttons() > 0)
                input << QStringLiteral("%1 button%2").arg(m.buttons()).arg(m.buttons() == 1 ? "" : "s");
            if (!input.isEmpty())
                lines << QStringLiteral("Players: %1").arg(input.join(QStringLiteral(", ")));
            if (m.screen() != Catalogue::Screen::None) {
                QString screen = QStringLiteral("Screen: %1").arg(screenText(m.screen()));
                if (m.rotate() != 0)
                    screen += QStringLiteral(", rotated %1°").arg(m.rotate());
                if (m.screens() > 1)
                    screen += QStringLiteral(", %1 screens").arg(m.screens());
                lines << screen;
            }
            lines << QStringLiteral("Driver: %1, emulation %2").arg(statusText(m.status()), statusText(m.emulation()));
            QStringList notes;
            for (const Catalogue::Feature &f : m.features()) {
                const Catalogue::FeatureState s = f.status != Catalogue::FeatureState::None ? f.status : f.overall;
                if (s != Catalogue::FeatureState::None)
                    notes << QStringLiteral("%1: %2").arg(utf8(f.type), featureText(s));
            }
            if (!notes.isEmpty())
                lines << QStringLiteral("Notes: %1").arg(notes.join(QStringLiteral(", ")));
            if (m.needsDisk())
                lines << QStringLiteral("Needs a disk image (CHD).");
        }
        if (!m.sourceFile().isEmpty())
            lines << QStringLiteral("Source: %1").arg(utf8(m.sourceFile()));
    }
    if (verdict) {
        lines << QStringLiteral("ROM files: %1").arg(verdict->summary.isEmpty() ? RomAudit::stateText(verdict->state) : verdict->summary);
        if (!verdict->details.isEmpty() && verdict->details != verdict->summary)
            lines << verdict->details;
    }
    return lines.join(QLatin1Char('\n'));
}

void GameDetails::showGame(const QByteArray &setName, const RomAudit::Verdict *verdict)
{
    const QString text = describe(m_catalogue.get(), m_cloneStart, m_clones, setName, verdict);
    m_text->setText(text);
    m_text->setAccessibleDescription(text);
    const QByteArray machine = setName.isEmpty() ? QByteArray() : machineName(setName);
    const int index = m_catalogue && !setName.isEmpty() ? m_catalogue->indexOfArchive(setName) : -1;
    m_machine = index >= 0 ? m_catalogue->machine(index).name().toByteArray() : machine;
    m_verify->setEnabled(index >= 0 && m_catalogue->machine(index).isRunnable());
    ++m_generation;
    m_image = QImage();
    m_pictureOf.clear();
    m_picture->clear();
    if (m_machine.isEmpty())
        return;
    Request request{m_generation, {m_machine}, m_folders, m_picture->size()};
    if (index >= 0) {
        const Catalogue::Machine m = m_catalogue->machine(index);
        if (m.parent() >= 0)
            request.names << m_catalogue->machine(m.parent()).name().toByteArray();
    }
    startPicture(std::move(request));
}

void GameDetails::startPicture(Request request)
{
    if (m_busy) {
        m_waiting = std::move(request); // a newer selection replaces any that waits
        return;
    }
    m_busy = true;
    std::shared_ptr<Channel> channel = m_channel;
    QThreadPool::globalInstance()->start([channel, request = std::move(request)] {
        const Found found = findPicture(request.names, request.folders, request.size);
        QMutexLocker lock(&channel->mutex);
        if (GameDetails *pane = channel->pane)
            QMetaObject::invokeMethod(pane, [pane, g = request.generation, found] {
                pane->pictureReady(g, found.image, found.scaled, found.of, found.none);
            }, Qt::QueuedConnection);
    });
}

void GameDetails::pictureReady(quint64 generation, const QImage &image, const QImage &scaled, const QByteArray &of,
                               const QString &none)
{
    m_busy = false;
    if (generation == m_generation) {
        m_image = image;
        m_pictureOf = of;
        if (image.isNull()) {
            m_picture->setText(none);
        } else {
            if (scaled.size() == m_picture->size().boundedTo(scaled.size()) && !scaled.isNull()
                && (scaled.width() == m_picture->width() || scaled.height() == m_picture->height()))
                m_picture->setPixmap(QPixmap::fromImage(scaled)); // the room did not change meanwhile
            else
                showScaled();
            emit pictureShown();
        }
    }
    if (m_waiting) {
        Request next = std::move(*m_waiting);
        m_waiting.reset();
        if (next.generation == m_generation)
            startPicture(std::move(next));
    }
}

void GameDetails::showScaled()
{
    if (m_image.isNull())
        return;
    const QSize room = m_picture->size();
    m_picture->setPixmap(QPixmap::fromImage(room.isEmpty() ? m_image
                                            : m_image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void GameDetails::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Below a list the pane is wide: the picture goes left of the text; beside one, above it.
    auto *box = static_cast<QBoxLayout *>(layout());
    const QBoxLayout::Direction direction = width() > 2 * height() ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (box->direction() != direction) {
        box->setDirection(direction);
        box->activate();
    }
    showScaled();
}

QWidget *GameDetails::firstInTabOrder() const
{
    return m_text;
}

QWidget *GameDetails::lastInTabOrder() const
{
    return m_verify;
}

QString GameDetails::text() const
{
    return m_text->text();
}

bool GameDetails::hasPicture() const
{
    return !m_image.isNull();
}
