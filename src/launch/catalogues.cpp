#include "catalogues.h"

#include "cataloguebuilder.h"
#include "emulatoranswers.h"
#include "fileio.h"

#include <QCryptographicHash>
#include <QTimer>

namespace {

QByteArray baseName(const QByteArray &program)
{
    return EmulatorAnswers::cacheDirectory() + '/'
        + QCryptographicHash::hash(program, QCryptographicHash::Sha1).toHex();
}

} // namespace

Catalogues::Catalogues(QObject *parent) : QObject(parent) {}

Catalogues::~Catalogues()
{
    for (const Reading &reading : std::as_const(m_reading))
        delete reading.builder;
}

QByteArray Catalogues::catalogueFile(const QByteArray &program)
{
    return baseName(program) + ".catalogue";
}

QByteArray Catalogues::romListFile(const QByteArray &program)
{
    return baseName(program) + ".romlist";
}

QByteArray Catalogues::keyOf(const Request &request)
{
    return Catalogue::key(request.program, FileIO::stamp(request.program), AnswerCache::stamped(request.files),
                          request.version);
}

std::shared_ptr<const Catalogue> Catalogues::cached(const Request &request)
{
    const QByteArray key = keyOf(request);
    const auto kept = m_kept.constFind(request.program);
    if (kept != m_kept.constEnd()) {
        if (kept->key == key)
            return kept->catalogue;
        m_kept.remove(request.program);
    }
    // One read; anything but a catalogue for this very key is read again from the emulator.
    if (std::optional<QByteArray> bytes = FileIO::read(catalogueFile(request.program)))
        if (std::optional<Catalogue> catalogue = Catalogue::fromBytes(std::move(*bytes)))
            if (catalogue->key() == key && catalogue->isComplete()) {
                auto shared = std::make_shared<const Catalogue>(std::move(*catalogue));
                m_kept.insert(request.program, {key, shared, nullptr});
                return shared;
            }
    return nullptr;
}

Catalogues::ForAudit Catalogues::forAudit(const Request &request)
{
    std::shared_ptr<const Catalogue> catalogue = cached(request);
    std::shared_ptr<const RomList> roms = catalogue ? romList(request) : nullptr;
    if (!catalogue || catalogue->isEmpty() || !roms || roms->size() != catalogue->size())
        return {};
    return {std::move(catalogue), std::move(roms)};
}

std::shared_ptr<const RomList> Catalogues::romList(const Request &request)
{
    const std::shared_ptr<const Catalogue> catalogue = cached(request);
    if (!catalogue)
        return nullptr;
    Kept &kept = m_kept[request.program];
    if (!kept.romList)
        if (std::optional<QByteArray> bytes = FileIO::read(romListFile(request.program)))
            if (std::optional<RomList> list = RomList::fromBytes(std::move(*bytes), catalogue->buildId(), catalogue->size()))
                kept.romList = std::make_shared<const RomList>(std::move(*list));
    return kept.romList;
}

void Catalogues::ask(const Request &request)
{
    const QByteArray program = request.program;
    if (m_reading.contains(program))
        return;
    if (cached(request)) {
        QTimer::singleShot(0, this, [this, program] { emit ready(program); });
        return;
    }
    // Stamped before the run: a file changed while the emulator answers makes the answer old.
    const std::optional<FileIO::Stamp> stamp = FileIO::stamp(program);
    const QByteArray key = Catalogue::key(program, stamp, AnswerCache::stamped(request.files), request.version);
    auto *builder = new CatalogueBuilder;
    m_reading.insert(program, {builder, key, bool(stamp)});
    const int total = std::max(0, request.expected);
    connect(builder, &CatalogueBuilder::progress, this,
            [this, program, total](int machines) { emit progress(program, machines, total); });
    connect(builder, &Waitable::finished, this, [this, program] { finished(program); });
    builder->start(program, {"-listxml"}, key);
}

void Catalogues::cancel(const QByteArray &program)
{
    if (const auto reading = m_reading.constFind(program); reading != m_reading.constEnd())
        reading->builder->cancel();
}

void Catalogues::finished(const QByteArray &program)
{
    const Reading reading = m_reading.take(program);
    const CatalogueBuilder::Result result = reading.builder->result();
    reading.builder->deleteLater();
    if (result.catalogue) {
        m_kept.insert(program, {reading.key, result.catalogue, result.romList});
        // A cache that cannot be written only costs the next start a reading. The ROM list
        // goes first: a catalogue on disk finds its own, or none.
        if (result.complete && reading.stamped && FileIO::makeDirectories(EmulatorAnswers::cacheDirectory())
            && FileIO::writeAtomically(romListFile(program), result.romList->bytes()))
            FileIO::writeAtomically(catalogueFile(program), result.catalogue->bytes());
    }
    emit ready(program);
}
