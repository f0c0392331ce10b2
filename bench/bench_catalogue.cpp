#include "bench_catalogue.h"

#include "bench_support.h"
#include "cataloguebuilder.h"
#include "catalogues.h"
#include "cataloguewriter.h"
#include "fileio.h"
#include "listxml.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <expat.h>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {



// The baseline: the emulator's answer piped into expat that only counts elements.
long bareCount(const char *emulator)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char *argv[] = {const_cast<char *>(emulator), const_cast<char *>("-listxml"), nullptr};
    pid_t pid;
    const int failed = posix_spawn(&pid, emulator, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    long elements = 0;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &elements);
    XML_SetStartElementHandler(parser, [](void *count, const XML_Char *, const XML_Char **) { ++*static_cast<long *>(count); });
    static char buffer[65536];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        XML_Parse(parser, buffer, int(n), XML_FALSE);
    XML_Parse(parser, nullptr, 0, XML_TRUE);
    XML_ParserFree(parser);
    ::close(fds[0]);
    if (!failed)
        ::waitpid(pid, nullptr, 0);
    return elements;
}

} // namespace

QByteArray generatedAnswer(int count)
{
    QByteArray answer = "<?xml version=\"1.0\"?>\n<mame build=\"0.251\">\n";
    char line[512];
    for (int i = 0; i < count; ++i) {
        answer += QByteArray(line, std::snprintf(line, sizeof line,
            "\t<machine name=\"game%06d\" sourcefile=\"maker%d/driver%d.cpp\"%s>\n"
            "\t\t<description>Game number %d (Maker %d, set %d)</description>\n"
            "\t\t<year>19%02d</year>\n\t\t<manufacturer>Maker %d</manufacturer>\n",
            i, i % 97, i % 3000, i % 5 ? " cloneof=\"game000000\" romof=\"game000000\"" : "", i, i % 97, i % 7,
            70 + i % 30, i % 97));
        for (int r = 0; r < 6; ++r)
            answer += QByteArray(line, std::snprintf(line, sizeof line,
                "\t\t<rom name=\"g%d.%d\" size=\"8192\" crc=\"%08x\" sha1=\"%040x\" region=\"maincpu\"/>\n", i, r,
                unsigned(i * 7 + r), unsigned(i * 13 + r)));
        answer += "\t\t<device_ref name=\"z80\"/>\n\t\t<device_ref name=\"screen\"/>\n"
                  "\t\t<display type=\"raster\" rotate=\"0\"/>\n\t\t<input players=\"2\"><control type=\"joy\" buttons=\"2\"/></input>\n"
                  "\t\t<driver status=\"good\" emulation=\"good\"/>\n\t</machine>\n";
    }
    return answer + "</mame>\n";
}

CatalogueBuilt buildCatalogue(const QByteArray &answer)
{
    CatalogueWriter writer;
    ListXmlReader reader(writer);
    reader.feed(answer);
    reader.finish(true);
    const CatalogueWriter::Images images = writer.finish("bench", QString(), true, 0);
    auto catalogue = std::make_shared<const Catalogue>(*Catalogue::fromBytes(images.catalogue));
    auto roms = std::make_shared<const RomList>(*RomList::fromBytes(images.romList, catalogue->buildId(), catalogue->size()));
    return {catalogue, roms};
}

std::vector<CatalogueRow> catalogueRows(int runs)
{
    std::vector<CatalogueRow> rows;
    QTemporaryDir tmp;
    const QByteArray root = QFile::encodeName(tmp.path());
    const QByteArray saved[] = {qgetenv("HOME"), qgetenv("XDG_CACHE_HOME")};
    qputenv("HOME", root);
    qputenv("XDG_CACHE_HOME", root + "/.cache");

    // Loading a kept catalogue of 45,000 machines, as the lists do: the request's stamps, one
    // read, the checks. Against the bare read of the same file's bytes. Best of `runs`.
    {
        const QByteArray program = root + "/mame";
        FileIO::writeAtomically(program, "an emulator", true);
        const Catalogues::Request request{program, "0.251 (unknown)", {root + "/mame.ini"}, 0};
        CatalogueWriter writer;
        ListXmlReader reader(writer);
        reader.feed(generatedAnswer(45000));
        reader.finish(true);
        const QByteArray key = Catalogue::key(program, FileIO::stamp(program), AnswerCache::stamped(request.files),
                                              request.version);
        const CatalogueWriter::Images images = writer.finish(key, QString(), true, 0);
        FileIO::makeDirectories(root + "/.cache/trelvo-mame");
        FileIO::writeAtomically(Catalogues::catalogueFile(program), images.catalogue);
        const QByteArray file = Catalogues::catalogueFile(program);
        double bare = 1e300, loaded = 1e300;
        for (int i = 0; i < runs; ++i) {
            bare = std::min(bare, msOf([&] {
                std::vector<char> bytes(size_t(images.catalogue.size()));
                const int fd = ::open(file.constData(), O_RDONLY | O_CLOEXEC);
                if (fd < 0 || ::read(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
                    std::abort();
                ::close(fd);
            }));
            loaded = std::min(loaded, msOf([&] {
                Catalogues catalogues;
                if (!catalogues.cached(request) || catalogues.cached(request)->size() != 45000)
                    std::abort();
            }));
        }
        rows.push_back({"kept catalogue of 45,000 read (goal 30 ms)", loaded, 30.0, 1.0});
        rows.push_back({"  the same, against reading its bytes", loaded, bare, 3.0});
    }

    // Reading Debian's emulator's whole catalogue, against its answer piped into a bare expat
    // count of elements. Median of 3 each, taken in turn.
    const char *emulator = DebianMame;
    if (FileIO::isExecutableFile(emulator)) {
        qputenv("SDL_VIDEODRIVER", "dummy");
        qputenv("SDL_AUDIODRIVER", "dummy");
        std::vector<double> bare, built;
        int machines = 0;
        for (int i = 0; i < 3; ++i) {
            bare.push_back(msOf([&] { bareCount(emulator); }));
            built.push_back(msOf([&] {
                CatalogueBuilder builder;
                builder.start(emulator, {"-listxml"}, "key");
                while (!builder.isFinished())
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                machines = builder.result().catalogue ? builder.result().catalogue->size() : 0;
            }));
        }
        if (machines == 0)
            std::printf("(the emulator's catalogue was not read)\n");
        rows.push_back({"catalogue from mame -listxml, vs bare expat", medianOf(built), medianOf(bare), 1.25});
    } else {
        std::printf("(Debian's mame is not installed: no figure for reading its catalogue)\n");
    }
    qputenv("HOME", saved[0]);
    qputenv("XDG_CACHE_HOME", saved[1]);
    return rows;
}
