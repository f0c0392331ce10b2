#include "bench_details.h"

#include "bench_support.h"
#include "catalogue.h"
#include "cataloguewriter.h"
#include "gamedetails.h"
#include "listxml.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThreadPool>
#include <algorithm>
#include <cstdio>

std::vector<CatalogueRow> detailsRows()
{
    constexpr int Games = 200;
    CatalogueWriter writer;
    ListXmlReader reader(writer);
    reader.feed(generatedAnswer(45000));
    reader.finish(true);
    auto catalogue = std::make_shared<const Catalogue>(*Catalogue::fromBytes(writer.finish("bench", QString(), true, 0).catalogue));

    // A snapshot of about 200 KB for each game: noise does not compress.
    QTemporaryDir tmp;
    const QByteArray folder = QFile::encodeName(tmp.path());
    QImage image(262, 262, QImage::Format_RGB32);
    QRandomGenerator random(20);
    qint64 pngBytes = 0;
    for (int i = 0; i < Games; ++i) {
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = random.generate() | 0xff000000u;
        }
        char name[64];
        std::snprintf(name, sizeof name, "/game%06d.png", i);
        image.save(QFile::decodeName(folder + name), "PNG");
        pngBytes += QFile(QFile::decodeName(folder + name)).size();
    }

    GameDetails pane;
    pane.resize(420, 640);
    pane.setCatalogue(catalogue);
    pane.setSnapshotFolders({folder});
    pane.show();
    QCoreApplication::processEvents();
    // Arrow keys: each game's text is timed; the events between keys (pictures arriving) are not.
    std::vector<double> texts, pictures;
    for (int i = 0; i < Games; ++i) {
        char set[64];
        std::snprintf(set, sizeof set, "game%06d.zip", i);
        QElapsedTimer t;
        t.start();
        pane.showGame(set, nullptr);
        texts.push_back(t.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
    }
    // Each picture on its own, from the key to its paint: what "the picture may follow" means.
    for (int i = 0; i < 20; ++i) {
        char set[64];
        std::snprintf(set, sizeof set, "game%06d.zip", i);
        QElapsedTimer t;
        t.start();
        pane.showGame(set, nullptr);
        while (!pane.hasPicture())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        pictures.push_back(t.nsecsElapsed() / 1e6);
    }
    QThreadPool::globalInstance()->waitForDone();
    static char what[96];
    std::snprintf(what, sizeof what, "details text, %d KB PNG to come (goal 16 ms)", int(pngBytes / Games / 1024));
    return {{what, medianOf(texts), 16.0, 1.0}, {"  reference: the picture shown, key to screen", medianOf(pictures), 16.0, 0}};
}
