#include "listxml.h"

#include <expat.h>
#include <algorithm>
#include <cstring>
#include <string>

using namespace CatalogueFormat;

namespace {

bool is(const char *a, const char *b)
{
    return std::strcmp(a, b) == 0;
}

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7f;
}

// A machine's name, as the emulator takes it on its command line and as an archive's name.
bool isMachineName(QByteArrayView name)
{
    if (name.isEmpty() || name.size() > 64 || name[0] == '.')
        return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
              || c == '+' || c == '.'))
            return false;
    return true;
}

// A file's name inside a machine's archive or folder: may name a folder inside it, never one
// outside.
bool isFileName(QByteArrayView name)
{
    if (name.isEmpty() || name.size() > ListXmlReader::MaxTextBytes || name[0] == '/')
        return false;
    qsizetype partStart = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == '/') {
            if (name.sliced(partStart, i - partStart) == "..")
                return false;
            partStart = i + 1;
            continue;
        }
        if (isControl(uchar(name[i])) || name[i] == '\\')
            return false;
    }
    return true;
}

// At most MaxTextBytes, cut between two characters of UTF-8.
QByteArrayView bounded(QByteArrayView text)
{
    if (text.size() <= ListXmlReader::MaxTextBytes)
        return text;
    qsizetype n = ListXmlReader::MaxTextBytes;
    while (n > 0 && (uchar(text[n]) & 0xc0) == 0x80)
        --n;
    return text.first(n);
}

// A text read up to its bound may end inside a character: that part goes.
void dropCutCharacter(std::string &text)
{
    size_t start = text.size();
    while (start > 0 && text.size() - start < 4 && (uchar(text[start - 1]) & 0xc0) == 0x80)
        --start;
    if (start == 0)
        return;
    const uchar lead = uchar(text[start - 1]);
    const size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
    if (text.size() - (start - 1) < length)
        text.resize(start - 1);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// `digits` hex digits into bytes; false unless the text is exactly that.
bool fromHex(const char *text, int digits, quint8 *out)
{
    if (int(std::strlen(text)) != digits)
        return false;
    for (int i = 0; i < digits; i += 2) {
        const int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        out[i / 2] = quint8(high << 4 | low);
    }
    return true;
}

quint64 number(const char *text)
{
    quint64 n = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (n > (~quint64(0) - 9) / 10)
            return 0;
        n = n * 10 + quint64(*text - '0');
    }
    return *text ? 0 : n;
}

quint8 small(const char *text)
{
    return quint8(std::min<quint64>(number(text), 255));
}

quint8 statusOf(const char *text)
{
    if (is(text, "good"))
        return 1;
    if (is(text, "imperfect"))
        return 2;
    if (is(text, "preliminary"))
        return 3;
    return 0;
}

quint8 featureStateOf(const char *text)
{
    return is(text, "imperfect") ? 1 : is(text, "unemulated") ? 2 : 0;
}

quint8 dumpOf(const char *text)
{
    return is(text, "baddump") ? 1 : is(text, "nodump") ? 2 : 0;
}

quint8 screenOf(const char *text)
{
    static const char *const types[] = {"raster", "vector", "lcd", "svg"};
    for (int i = 0; i < 4; ++i)
        if (is(text, types[i]))
            return quint8(i + 1);
    return 5; // unknown
}

} // namespace

struct ListXmlReader::State {
    XML_Parser parser = nullptr;
    CatalogueWriter &writer;
    ListXmlReader &reader;
    int depth = 0;
    bool sawRoot = false;
    bool inMachine = false;
    bool inInput = false;
    bool machineBad = false;
    int skipped = 0;
    std::string *target = nullptr; // the text being read
    std::string description, year, manufacturer, controls;
    qint64 fed = 0;
    qint64 lastEvent = 0; // where the last tag or text began

    State(CatalogueWriter &w, ListXmlReader &r) : writer(w), reader(r) {}

    void beginMachine(const char **attributes);
    // Text is handed over only while a text is read: between tags there is only white space.
    void collect(std::string *text);
    void endMachine();
    void machineElement(const char *name, const char **attributes);
    void control(const char **attributes);
    bool checkBounds()
    {
        if (writer.machineBytes() > MaxMachineBytes)
            machineBad = true;
        return machineBad;
    }
};

struct ListXmlHandlers {
    static void start(void *data, const XML_Char *name, const XML_Char **attributes)
    {
        auto *s = static_cast<ListXmlReader::State *>(data);
        s->lastEvent = XML_GetCurrentByteIndex(s->parser);
        ++s->depth;
        if (s->depth > ListXmlReader::MaxDepth)
            return s->reader.stop(ListXmlReader::Fault::Damaged, QStringLiteral("nested too deep"));
        if (s->depth == 1) {
            if (!is(name, "mame"))
                return s->reader.stop(ListXmlReader::Fault::NotCatalogue, QStringLiteral("no <mame> root"));
            s->sawRoot = true;
        } else if (s->depth == 2) {
            if (is(name, "machine") || is(name, "game"))
                s->beginMachine(attributes);
        } else if (s->inMachine) {
            if (s->depth == 3)
                s->machineElement(name, attributes);
            else if (s->depth == 4 && s->inInput && is(name, "control"))
                s->control(attributes);
        }
    }

    static void end(void *data, const XML_Char *)
    {
        auto *s = static_cast<ListXmlReader::State *>(data);
        s->lastEvent = XML_GetCurrentByteIndex(s->parser);
        if (s->depth == 3) {
            if (s->target)
                XML_SetCharacterDataHandler(s->parser, nullptr);
            s->target = nullptr;
            s->inInput = false;
        } else if (s->depth == 2 && s->inMachine) {
            s->endMachine();
        }
        --s->depth;
    }

    static void text(void *data, const XML_Char *text, int length)
    {
        auto *s = static_cast<ListXmlReader::State *>(data);
        s->lastEvent = XML_GetCurrentByteIndex(s->parser);
        if (s->target && s->target->size() < size_t(ListXmlReader::MaxTextBytes))
            s->target->append(text, std::min(size_t(length), ListXmlReader::MaxTextBytes - s->target->size()));
    }

    static void entity(void *data, const XML_Char *, int, const XML_Char *, int, const XML_Char *,
                       const XML_Char *, const XML_Char *, const XML_Char *)
    {
        auto *s = static_cast<ListXmlReader::State *>(data);
        s->reader.stop(ListXmlReader::Fault::Damaged, QStringLiteral("declares entities"));
    }
};

void ListXmlReader::State::collect(std::string *text)
{
    target = text;
    XML_SetCharacterDataHandler(parser, &ListXmlHandlers::text);
}

void ListXmlReader::State::beginMachine(const char **a)
{
    inMachine = true;
    machineBad = false;
    description.clear();
    year.clear();
    manufacturer.clear();
    controls.clear();
    writer.beginMachine();
    Record &r = writer.record();
    r.flags = Runnable;
    for (; *a; a += 2) {
        const char *name = a[0], *value = a[1];
        const QByteArrayView v(value);
        Text *text = nullptr;
        bool isName = true;
        if (is(name, "name"))
            text = &r.name;
        else if (is(name, "cloneof"))
            text = &r.cloneOf;
        else if (is(name, "romof"))
            text = &r.romOf;
        else if (is(name, "sampleof"))
            text = &r.sampleOf;
        else if (is(name, "sourcefile"))
            text = &r.sourceFile, isName = false;
        else if (is(name, "isbios"))
            r.flags = is(value, "yes") ? r.flags | IsBios : r.flags & ~IsBios;
        else if (is(name, "isdevice"))
            r.flags = is(value, "yes") ? r.flags | IsDevice : r.flags & ~IsDevice;
        else if (is(name, "ismechanical"))
            r.flags = is(value, "yes") ? r.flags | IsMechanical : r.flags & ~IsMechanical;
        else if (is(name, "runnable"))
            r.flags = is(value, "no") ? r.flags & ~Runnable : r.flags | Runnable;
        if (!text)
            continue;
        if (isName ? !isMachineName(v) : !isFileName(v))
            machineBad = true;
        else
            *text = writer.listText(v);
    }
    if (r.name.size == 0)
        machineBad = true;
}

void ListXmlReader::State::machineElement(const char *name, const char **a)
{
    if (machineBad)
        return;
    Record &r = writer.record();
    switch (name[0]) {
    case 'd':
        if (is(name, "description")) {
            collect(&description);
        } else if (is(name, "driver")) {
            for (; *a; a += 2) {
                if (is(a[0], "status"))
                    r.status = statusOf(a[1]);
                else if (is(a[0], "emulation"))
                    r.emulation = statusOf(a[1]);
            }
        } else if (is(name, "display")) {
            if (r.screens++ == 0) {
                for (; *a; a += 2) {
                    if (is(a[0], "type"))
                        r.screen = screenOf(a[1]);
                    else if (is(a[0], "rotate"))
                        r.rotate = quint16(std::min<quint64>(number(a[1]), 270) / 90 * 90);
                }
            }
            if (r.screens == 0)
                r.screens = 255;
        } else if (is(name, "device_ref")) {
            for (; *a; a += 2) {
                if (!is(a[0], "name"))
                    continue;
                if (!isMachineName(a[1]))
                    machineBad = true;
                else
                    writer.addDeviceRef(writer.romText(a[1]));
            }
        } else if (is(name, "disk")) {
            Disk d{};
            bool named = false;
            for (; *a; a += 2) {
                if (is(a[0], "name"))
                    named = isFileName(a[1]), d.name = named ? writer.romText(a[1]) : Text{};
                else if (is(a[0], "merge") && isFileName(a[1]))
                    d.merge = writer.romText(a[1]);
                else if (is(a[0], "sha1") && fromHex(a[1], 40, d.sha1))
                    d.flags |= HasSha1;
                else if (is(a[0], "status"))
                    d.status = dumpOf(a[1]);
                else if (is(a[0], "optional") && is(a[1], "yes"))
                    d.flags |= Optional;
            }
            if (!named)
                machineBad = true;
            writer.addDisk(d);
            if (!(d.flags & Optional))
                r.flags |= NeedsDisk;
        }
        break;
    case 'y':
        if (is(name, "year"))
            collect(&year);
        break;
    case 'm':
        if (is(name, "manufacturer"))
            collect(&manufacturer);
        break;
    case 'r':
        if (is(name, "rom")) {
            Rom rom{};
            bool named = false;
            for (; *a; a += 2) {
                if (is(a[0], "name"))
                    named = isFileName(a[1]), rom.name = named ? writer.romText(a[1]) : Text{};
                else if (is(a[0], "size"))
                    rom.size = number(a[1]);
                else if (is(a[0], "crc")) {
                    quint8 crc[4];
                    if (fromHex(a[1], 8, crc)) {
                        rom.crc = quint32(crc[0]) << 24 | quint32(crc[1]) << 16 | quint32(crc[2]) << 8 | crc[3];
                        rom.flags |= HasCrc;
                    }
                } else if (is(a[0], "sha1") && fromHex(a[1], 40, rom.sha1))
                    rom.flags |= HasSha1;
                else if (is(a[0], "merge") && isFileName(a[1]))
                    rom.merge = writer.romText(a[1]);
                else if (is(a[0], "status"))
                    rom.status = dumpOf(a[1]);
                else if (is(a[0], "optional") && is(a[1], "yes"))
                    rom.flags |= Optional;
            }
            if (!named)
                machineBad = true;
            writer.addRom(rom);
        }
        break;
    case 'b':
        if (is(name, "biosset")) {
            BiosSet set{};
            for (; *a; a += 2) {
                if (is(a[0], "name") && isFileName(a[1]))
                    set.name = writer.romText(a[1]);
                else if (is(a[0], "description"))
                    set.description = writer.romText(bounded(a[1]));
                else if (is(a[0], "default"))
                    set.isDefault = is(a[1], "yes");
            }
            writer.addBiosSet(set);
        }
        break;
    case 'f':
        if (is(name, "feature")) {
            Feature f{};
            for (; *a; a += 2) {
                if (is(a[0], "type"))
                    f.type = writer.listText(bounded(a[1]));
                else if (is(a[0], "status"))
                    f.status = featureStateOf(a[1]);
                else if (is(a[0], "overall"))
                    f.overall = featureStateOf(a[1]);
            }
            writer.addFeature(f);
        }
        break;
    case 'i':
        if (is(name, "input")) {
            inInput = true;
            for (; *a; a += 2) {
                if (is(a[0], "players"))
                    r.players = small(a[1]);
            }
        }
        break;
    }
    checkBounds();
}

void ListXmlReader::State::control(const char **a)
{
    if (machineBad)
        return;
    Record &r = writer.record();
    for (; *a; a += 2) {
        if (is(a[0], "type")) {
            const QByteArrayView type = bounded(a[1]);
            // Each type once, in the order listed.
            QByteArrayView listed(controls.data(), qsizetype(controls.size()));
            bool known = false;
            for (qsizetype at = 0; at < listed.size() && !known;) {
                qsizetype next = listed.indexOf(", ", at);
                if (next < 0)
                    next = listed.size();
                known = listed.sliced(at, next - at) == type;
                at = next + 2;
            }
            if (!known && controls.size() + size_t(type.size()) + 2 <= size_t(MaxTextBytes)) {
                if (!controls.empty())
                    controls += ", ";
                controls.append(type.data(), size_t(type.size()));
            }
        } else if (is(a[0], "buttons")) {
            r.buttons = std::max(r.buttons, small(a[1]));
        }
    }
}

void ListXmlReader::State::endMachine()
{
    inMachine = false;
    inInput = false;
    target = nullptr;
    if (machineBad) {
        writer.dropMachine();
        ++skipped;
        return;
    }
    Record &r = writer.record();
    const auto text = [this](std::string &s) {
        if (s.size() >= size_t(MaxTextBytes))
            dropCutCharacter(s);
        for (char &c : s)
            if (isControl(uchar(c)))
                c = ' ';
        return writer.listText(QByteArrayView(s.data(), qsizetype(s.size())));
    };
    r.description = text(description);
    r.year = text(year);
    r.manufacturer = text(manufacturer);
    r.controls = text(controls);
    writer.endMachine();
    if (writer.full())
        reader.stop(Fault::TooLarge, QStringLiteral("more than %1 machines or too much text").arg(CatalogueWriter::MaxMachines));
}

ListXmlReader::ListXmlReader(CatalogueWriter &writer) : m(std::make_unique<State>(writer, *this))
{
    m->parser = XML_ParserCreate(nullptr);
    XML_SetUserData(m->parser, m.get());
    XML_SetElementHandler(m->parser, &ListXmlHandlers::start, &ListXmlHandlers::end);
    XML_SetEntityDeclHandler(m->parser, &ListXmlHandlers::entity);
}

ListXmlReader::~ListXmlReader()
{
    XML_ParserFree(m->parser);
}

void ListXmlReader::stop(Fault fault, const QString &text)
{
    if (m_fault != Fault::None)
        return;
    // A fault before the root is a text that is no catalogue at all.
    m_fault = m->sawRoot ? fault : Fault::NotCatalogue;
    m_faultText = text;
    XML_StopParser(m->parser, XML_FALSE);
}

bool ListXmlReader::feed(QByteArrayView bytes)
{
    // In slices, so that a tag that never ends is noticed soon after its bound.
    constexpr qsizetype Slice = 65536;
    for (qsizetype at = 0; at < bytes.size() && m_fault == Fault::None; at += Slice) {
        const QByteArrayView slice = bytes.sliced(at, std::min(Slice, bytes.size() - at));
        const XML_Status status = XML_Parse(m->parser, slice.data(), int(slice.size()), XML_FALSE);
        m->fed += slice.size();
        if (status != XML_STATUS_OK && m_fault == Fault::None)
            stop(Fault::Damaged, QStringLiteral("line %1: %2")
                                     .arg(XML_GetCurrentLineNumber(m->parser))
                                     .arg(QString::fromLatin1(XML_ErrorString(XML_GetErrorCode(m->parser)))));
        else if (m->fed - m->lastEvent > MaxTokenBytes && m_fault == Fault::None)
            stop(Fault::Damaged, QStringLiteral("a tag longer than %1 MiB").arg(MaxTokenBytes >> 20));
    }
    return m_fault == Fault::None;
}

void ListXmlReader::finish(bool atEnd)
{
    if (m_fault != Fault::None || !atEnd)
        return;
    if (XML_Parse(m->parser, nullptr, 0, XML_TRUE) != XML_STATUS_OK && m_fault == Fault::None)
        stop(Fault::Damaged, QStringLiteral("line %1: %2")
                                 .arg(XML_GetCurrentLineNumber(m->parser))
                                 .arg(QString::fromLatin1(XML_ErrorString(XML_GetErrorCode(m->parser)))));
    if (!m->sawRoot && m_fault == Fault::None)
        stop(Fault::NotCatalogue, QStringLiteral("no <mame> root"));
}

bool ListXmlReader::sawRoot() const
{
    return m->sawRoot;
}

int ListXmlReader::machines() const
{
    return m->writer.machines();
}

int ListXmlReader::skipped() const
{
    return m->skipped;
}
