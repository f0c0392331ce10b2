#include "options.h"

#include "config.h"
#include "fileio.h"
#include "pathrules.h"

namespace Options {

const std::array<const char *, PageCount> PageCaptions = {
    "Config Options", "Game Options", "Video Configuratin",
    "Sound Configuration", "Controls", "Advanced Configuration",
};

namespace {

// A group of two buttons whose second one writes `value`.
RadioGroup twoState(const char *key, const char *box, Page page, int line,
                    const char *name0, const char *caption0, const char *name1, const char *caption1,
                    const char *value)
{
    return {key, box, page, line,
            {{name0, caption0, "", false, Effect::None}, {name1, caption1, value, false, Effect::None}},
            1, "", false};
}

constexpr Effect N = Effect::None;
constexpr InfoPlace Below = InfoPlace::Below;
constexpr InfoPlace Beside = InfoPlace::Beside;

} // namespace

// Boxes in page order and, within a page, column by column from the left.
const std::vector<Box> Boxes = {
    {"GroupBox32", "Select the game that will use this configuration", Page::GameOptions, "", {0, 1, Below, 3, "Button2"}},
    {"GroupBox35", "Change ROMS directory", Page::GameOptions, "", {0, 1, Below, 2, "Button6"}},
    {"GroupBox33", "Cheat Mode", Page::GameOptions, "Button32", {1, 1, Below}},

    {"GroupBox3", "Resolution", Page::Video, "resolutioninf", {0, 2, Below}},
    {"GroupBox7", "Stretch", Page::Video, "strechinf", {0, 2, Below}},
    {"GroupBox34", "Flip", Page::Video, "flipinf", {0, 1, Below}},
    {"GroupBox8", "Colors", Page::Video, "colorsinf", {1, 1, Below}},
    {"GroupBox9", "Gamma Correction", Page::Video, "gammainf", {1, 1, Below}},
    {"GroupBox6", "Scanlines", Page::Video, "scanlinesinf", {1, 2, Below}},
    {"GroupBox14", "Video", Page::Video, "videoinf", {2, 1, Beside}},
    {"GroupBox5", "Rotate", Page::Video, "rotateinf", {2, 1, Beside}},
    {"GroupBox17", "Vesa Mode", Page::Video, "Button1", {2, 2, Beside}},

    {"GroupBox23", "Sound Card", Page::Sound, "soundcardinf", {0, 1, Below}},
    {"GroupBox26", "OPL Chip", Page::Sound, "Button25", {1, 2, Below}},
    {"GroupBox25", "Stereo Sound", Page::Sound, "stereoinf", {1, 2, Below}},

    {"GroupBox28", "Hot Rod", Page::Controls, "hotrodinf", {1, 2, Beside}},
    {"GroupBox29", "Hot Rod SE", Page::Controls, "hotrodseinf", {1, 2, Beside}},
    {"GroupBox30", "Steady Key", Page::Controls, "steadkeyinf", {1, 2, Beside}},
    {"GroupBox31", "Mouse", Page::Controls, "mouseinf", {1, 2, Beside}},

    {"GroupBox1", "Tweak", Page::Advanced, "tweakinf", {0, 2, Beside}},
    {"GroupBox12", "Always Synced", Page::Advanced, "alwayssincedinf", {0, 2, Beside}},
    {"GroupBox13", "Tripple Buffer", Page::Advanced, "tripplebufferinf", {0, 2, Beside}},
    {"GroupBox11", "VSync", Page::Advanced, "vsyncinf", {0, 2, Beside}},
    {"GroupBox19", "Antialiasing", Page::Advanced, "antialiasinginf", {0, 2, Beside}},
    {"GroupBox16", "Wait Interlace", Page::Advanced, "interlaceinf", {0, 2, Beside}},
    {"GroupBox2", "NTSC For VGA 2 Convert", Page::Advanced, "ntscinf", {0, 2, Beside}},
    {"GroupBox22", "vector translucency", Page::Advanced, "Button21", {1, 2, Beside}},
    {"GroupBox4", "Skip Lines and Coluns", Page::Advanced, "skipinf", {1, 1, Below}},
    {"GroupBox15", "Center Screen", Page::Advanced, "centerinf", {1, 1, Below}},
    {"GroupBox24", "Audio Sample Rate", Page::Advanced, "audiosamplerateinf", {1, 1, Below}},
    {"GroupBox18", "Frame Skip", Page::Advanced, "frameskipinf", {2, 1, Below}},
    {"GroupBox20", "Beam", Page::Advanced, "beaminf", {2, 1, Below}},
    {"GroupBox21", "Flicker", Page::Advanced, "flickerinf", {2, 1, Below}},
    {"GroupBox10", "VGA Frequence", Page::Advanced, "Vgafrequenceinf", {2, 4, Below, 0, "", true}},
    {"GroupBox27", "Create log File", Page::Advanced, "loginf", {2, 2, Beside}},
};

const std::vector<PageLayout> PageLayouts = {
    // The game list panel lies over the game and ROM directory choosers.
    {Page::GameOptions, {6, 6, 6, 6}, 6, {{3, 6}, {1, 3}}, {}, {}, 0},
    {Page::Video, {5, 5, 5, 5}, 5, {{1, 3}, {1, 3}, {1, 3}}, {}, {}},
    {Page::Sound, {5, 5, 5, 5}, 8, {{3, 3}, {2, 3}}, {}, {}},
    {Page::Controls, {6, 6, 6, 6}, 6, {{13, 3, "joysticklist"}, {7, 3}},
     {{"joystick", "joystick1", "joystick2"}, 12}, {}},
    // The right column is the widest: the frequencies stand side by side.
    {Page::Advanced, {3, 2, 3, 2}, 3, {{9, 1}, {8, 1}, {11, 1}}, {}, {{"extra"}, 6, "Label7"}},
};

const std::vector<RadioGroup> RadioGroups = {
    {"selectgame", "GroupBox32", Page::GameOptions, Config::Game,
     {{"selectgame0", "Play all games", "", false, Effect::Clear},
      {"selectgame1", "Play a specified game:", "", true, Effect::Enable}},
     1, "selectgamee", true},
    twoState("cheatmode", "GroupBox33", Page::GameOptions, 2, "cheatmode0", "Don't Use", "cheatmode1", "Use", "-cheat"),

    {"resolution", "GroupBox3", Page::Video, 3,
     {{"resolution0", "Default", "", false, Effect::Clear},
      {"resolution1", "312x200", "-resolution 312x200", false, Effect::Clear},
      {"resolution2", "640x480", "-resolution 640x480", false, Effect::Clear},
      {"resolution3", "800x600", "-resolution 800x600", false, Effect::Clear},
      {"resolution4", "Other:", "-resolution ", true, Effect::Preset}},
     4, "resolutione1", false},
    twoState("stretch", "GroupBox7", Page::Video, 4, "stretch0", "Use", "stretch1", "Don't Use", "-nostrech"),
    {"flip", "GroupBox34", Page::Video, 10,
     {{"flip0", "Don't Flip", "", false, N},
      {"flip1", "Flip Horizntally", "-flipx", false, N},
      {"flip2", "Flip Vertically", "-flipy", false, N}},
     -1, "", false},
    {"colors", "GroupBox8", Page::Video, 5,
     {{"colors0", "Auto", "", false, N},
      {"colors1", "256 Colors (8 Bits)", "-depth 8", false, N},
      {"colors2", "High Color (16 Bits)", "-depth 16", false, N}},
     -1, "", false},
    {"gamma", "GroupBox9", Page::Video, 6,
     {{"gamma0", "Don't Use", "", false, Effect::Clear},
      {"gamma1", "Use:", "-gamma ", true, Effect::Enable}},
     1, "gammae", false},
    // Line 7 is never empty: "Use" writes "-scanlines"; only "-noscanlines" chooses "Don't Use".
    {"scanlines", "GroupBox6", Page::Video, 7,
     {{"scanlines0", "Use", "-scanlines", false, N},
      {"scanlines1", "Don't Use", "-noscanlines", false, N}},
     -1, "", false},
    {"video", "GroupBox14", Page::Video, 8,
     {{"video0", "Standard", "", false, N},
      {"video1", "NTSC", "-monitor ntsc", false, N},
      {"video2", "PAL", "-monitor pal", false, N},
      {"video3", "Arcade", "-monitor arcade", false, N}},
     -1, "", false},
    {"rotate", "GroupBox5", Page::Video, 9,
     {{"rotate0", "Auto Rotate", "", false, N},
      {"rotate1", "Rotate Right", "-ror", false, N},
      {"rotate2", "Rotate Left", "-rol", false, N}},
     -1, "", false},
    {"vesa", "GroupBox17", Page::Video, 38,
     {{"vesa0", "Auto Detect", "", false, N},
      {"vesa1", "Vesa 1", "-vesamode vesa1", false, N},
      {"vesa2", "Vesa 2b", "-vesamode vesa2b", false, N},
      {"vesa3", "Vesa2l", "-vesamode vesa2l", false, N},
      {"vesa4", "Vesa3", "-vesamode vesa3", false, N}},
     -1, "", false},

    {"soundcard", "GroupBox23", Page::Sound, 11,
     {{"soundcard0", "Ask Me", "", false, N},
      {"soundcard1", "No Sound", "-soundcard 0", false, N},
      {"soundcard2", "Sound Blaster", "-soundcard 1", false, N},
      {"soundcard3", "Pro audio Spectrum", "-soundcard 2", false, N},
      {"soundcard4", "Ultrasound Max (CS4231 Codec) ", "-soundcard 3", false, N},
      {"soundcard5", "Ultrasound ", "-soundcard 4", false, N},
      {"soundcard6", "Windows Sound System", "-soundcard 5", false, N},
      {"soundcard7", "Ensoniq Soundscape", "-soundcard 6", false, N}},
     -1, "", false},
    twoState("opl", "GroupBox26", Page::Sound, 12, "opl0", "Don't Use", "opl1", "Use", "-ym3812opl"),
    twoState("stereo", "GroupBox25", Page::Sound, 13, "stereo0", "Use", "stereo1", "Don't Use", "-nostereo"),

    // The joystick pair lies on the page; line 14 is written from it, the "Use Joystick" box and
    // the list together (see lineValue). The pair is numbered from 1.
    {"joysticktype", "", Page::Controls, -1,
     {{"joystick1", "Attemps Auto Detect", "-joy auto", false, Effect::Off},
      {"joystick2", "Manual Selection", "", false, Effect::Enable}},
     -1, "joysticklist", false},
    twoState("hotrod", "GroupBox28", Page::Controls, 15, "hotrod0", "off", "hotrod1", "on", "-hotrod"),
    twoState("hotrodse", "GroupBox29", Page::Controls, 16, "hotrodse0", "off", "hotrodse1", "on", "-hotrodse"),
    twoState("steadykey", "GroupBox30", Page::Controls, 17, "steadykey0", "off", "steadykey1", "on", "-steadykey"),
    twoState("mouse", "GroupBox31", Page::Controls, 18, "mouse0", "on", "mouse1", "off", "-nomouse"),

    twoState("tweak", "GroupBox1", Page::Advanced, 19, "tweak0", "off", "tweak1", "on", "-tweak"),
    twoState("alwayssinced", "GroupBox12", Page::Advanced, 20, "alwayssinced0", "off", "alwayssinced1", "on",
             "-alwayssynced"),
    twoState("tripplebuffer", "GroupBox13", Page::Advanced, 21, "tripplebuffer0", "off", "tripplebuffer1", "on",
             "-tripplebuffer"),
    twoState("vsync", "GroupBox11", Page::Advanced, 22, "vsync0", "off", "vsync1", "on", "-vsync"),
    twoState("antialiasing", "GroupBox19", Page::Advanced, 23, "antialiasing0", "on", "antialiasing1", "off",
             "-noantialias"),
    twoState("interlace", "GroupBox16", Page::Advanced, 24, "interlace0", "off", "interlace1", "on", "-waitinterlace"),
    twoState("ntsc", "GroupBox2", Page::Advanced, 25, "ntsc0", "off", "ntsc1", "on", "-ntsc"),
    twoState("vector", "GroupBox22", Page::Advanced, 26, "vector0", "on", "vector1", "off", "-notranslucency"),
    {"vgafrequence", "GroupBox10", Page::Advanced, 35,
     {{"vgafrequence0", "0 - Default", "", false, N},
      {"vgafrequence1", "1", "-vgafreq 1", false, N},
      {"vgafrequence2", "2", "-vgafreq 2", false, N},
      {"vgafrequence3", "3", "-vgafreq 3", false, N}},
     -1, "", false},
    twoState("log", "GroupBox27", Page::Advanced, 36, "log0", "No", "log1", "Yes", "-log"),
};

const std::vector<Check> Checks = {
    {"Autoselect", "Auto select", "GroupBox35", Page::GameOptions, Config::RomSelection,
     "sim", "", true},
    {"norotate", "No Rotate", "GroupBox5", Page::Video, 37, "-norotate", "", false},
    {"joystick", "Use Joystick", "", Page::Controls, JoystickLine, "", "", false},
    // The switches keep the blanks the emulator's old front-end wrote after them.
    {"skiplines", "Lines:", "GroupBox4", Page::Advanced, 27, "-skiplines  ", "skiplinese", false},
    {"skipcolumns", "Columns:", "GroupBox4", Page::Advanced, 28, "-skipcolumns ", "skipcolumnse", false},
    {"centerx", "X:", "GroupBox15", Page::Advanced, 29, "-centerx   ", "centerxe", false},
    {"centery", "Y:", "GroupBox15", Page::Advanced, 30, "-centery   ", "centerye", false},
    {"audiosamplerate", "Configure:", "GroupBox24", Page::Advanced, 31, "-sr ", "audiosampleratee", false},
    {"frameskip", "Frame Skip:", "GroupBox18", Page::Advanced, 32, "-frameskip ", "frameskipe", false},
    {"beam", "Use Beam:", "GroupBox20", Page::Advanced, 33, "-beam ", "beame", false},
    {"flicker", "Use Flicker:", "GroupBox21", Page::Advanced, 34, "-flicker ", "flickere", false},
};

const std::vector<Field> Fields = {
    {"config", "Configuration Name:", "", Page::ConfigOptions, -1, false},
    {"aboutconfiguration", "About the configuration:", "", Page::ConfigOptions, Config::Description, false},
    {"mame", "M.A.M.E. Exe File:", "", Page::ConfigOptions, Config::Emulator, false},
    {"selectgamee", "", "GroupBox32", Page::GameOptions, -1, true},
    {"Edit1", "", "GroupBox35", Page::GameOptions, Config::RomDirectory, true},
    {"resolutione1", "", "GroupBox3", Page::Video, 42, true},
    {"gammae", "", "GroupBox9", Page::Video, 43, true},
    {"skiplinese", "", "GroupBox4", Page::Advanced, 44, true},
    {"skipcolumnse", "", "GroupBox4", Page::Advanced, 45, true},
    {"centerxe", "", "GroupBox15", Page::Advanced, 46, true},
    {"centerye", "", "GroupBox15", Page::Advanced, 47, true},
    {"audiosampleratee", "", "GroupBox24", Page::Advanced, 48, true},
    {"frameskipe", "", "GroupBox18", Page::Advanced, 49, true},
    {"beame", "", "GroupBox20", Page::Advanced, 50, true},
    {"flickere", "", "GroupBox21", Page::Advanced, 51, true},
    {"extra", "Extra Commands:", "", Page::Advanced, Config::Extra, false},
};

// Lines 0 to 39 in order, then the argument texts (which override what choosing "Other:" put in
// its field), the emulator, the ROM directory selection and last the ROM directory itself.
const std::vector<int> LoadOrder = [] {
    std::vector<int> order;
    for (int n = Config::Description; n <= Config::Extra; ++n)
        order.push_back(n);
    for (int n = Config::FirstArgumentText; n < Config::RomDirectory; ++n)
        order.push_back(n);
    order.push_back(Config::Emulator);
    order.push_back(Config::RomSelection);
    order.push_back(Config::RomDirectory);
    return order;
}();

namespace {

// What each line of a configuration belongs to: a radio group, a check box or a text field (the
// first of them in catalogue order). Loading and saving look a line up here instead of scanning
// the catalogue for it.
struct LineOwner {
    const RadioGroup *group = nullptr;
    const Check *check = nullptr;
    const Field *field = nullptr;
};

const std::array<LineOwner, Config::LineCount> LineOwners = [] {
    std::array<LineOwner, Config::LineCount> owners{};
    const auto owned = [&](int line) {
        return line < 0 || line >= Config::LineCount || owners[size_t(line)].group
            || owners[size_t(line)].check || owners[size_t(line)].field;
    };
    for (const RadioGroup &g : RadioGroups)
        if (!owned(g.line))
            owners[size_t(g.line)].group = &g;
    for (const Check &c : Checks)
        if (!owned(c.line))
            owners[size_t(c.line)].check = &c;
    for (const Field &f : Fields)
        if (!owned(f.line))
            owners[size_t(f.line)].field = &f;
    return owners;
}();

const LineOwner &ownerOf(int line)
{
    static const LineOwner none;
    return line >= 0 && line < Config::LineCount ? LineOwners[size_t(line)] : none;
}

} // namespace

const Box *box(const QByteArray &name)
{
    for (const Box &b : Boxes)
        if (name == b.name)
            return &b;
    return nullptr;
}

const RadioGroup *radioGroup(const QByteArray &key)
{
    for (const RadioGroup &g : RadioGroups)
        if (key == g.key)
            return &g;
    return nullptr;
}

const Check *check(const QByteArray &name)
{
    for (const Check &c : Checks)
        if (name == c.name)
            return &c;
    return nullptr;
}

const Field *field(const QByteArray &name)
{
    for (const Field &f : Fields)
        if (name == f.name)
            return &f;
    return nullptr;
}

const RadioGroup *groupOfButton(const QByteArray &name, int *index)
{
    for (const RadioGroup &g : RadioGroups)
        for (size_t i = 0; i < g.buttons.size(); ++i)
            if (name == g.buttons[i].name) {
                if (index)
                    *index = int(i);
                return &g;
            }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// State

State State::initial()
{
    State s;
    for (const RadioGroup &g : RadioGroups)
        s.m_radio.insert(g.key, 0);
    for (const Check &c : Checks)
        s.m_checks.insert(c.name, c.initial);
    for (const Field &f : Fields)
        s.m_texts.insert(f.name, QByteArray());
    return s;
}

void State::select(const QByteArray &group, int button)
{
    const RadioGroup *g = radioGroup(group);
    if (!g || button < 0 || button >= int(g->buttons.size()) || selected(group) == button)
        return;
    m_radio[group] = button;
    if (!*g->field || !field(g->field))
        return; // the joystick list holds no text
    switch (g->buttons[size_t(button)].effect) {
    case Effect::Clear:
        m_texts[g->field].clear();
        break;
    case Effect::Preset:
        m_texts[g->field] = ResolutionPreset;
        break;
    default:
        break;
    }
}

void State::setChecked(const QByteArray &name, bool on)
{
    const Check *c = check(name);
    if (!c || checked(name) == on)
        return;
    m_checks[name] = on;
    if (*c->field && !on)
        m_texts[c->field].clear();
}

bool State::enabled(const QByteArray &control) const
{
    if (control == "Edit1" || control == "Button6")
        return !checked("Autoselect");
    if (control == "joystick1" || control == "joystick2")
        return checked(JoystickCheck);
    if (control == "Button2")
        return selected("selectgame") == 1;
    for (const RadioGroup &g : RadioGroups)
        if (control == g.field) {
            const Effect e = g.buttons[size_t(selected(g.key))].effect;
            return e == Effect::Enable || e == Effect::Preset;
        }
    for (const Check &c : Checks)
        if (control == c.field)
            return checked(c.name);
    return true;
}

bool State::operator==(const State &other) const
{
    return m_radio == other.m_radio && m_checks == other.m_checks && m_texts == other.m_texts
        && m_joystickEntry == other.m_joystickEntry;
}

// ---------------------------------------------------------------------------------------------
// Loading

namespace {

Step selectStep(const QByteArray &group, int button, int line)
{
    return {Step::Kind::Select, group, button, {}, line};
}

Step checkStep(const QByteArray &name, bool on, int line)
{
    return {Step::Kind::Check, name, on ? 1 : 0, {}, line};
}

Step textStep(const QByteArray &field, const QByteArray &text, int line)
{
    return {Step::Kind::Text, field, 0, text, line};
}

// The button a radio group's line chooses: the first button whose fixed value equals the line,
// else the fallback; -1 for an empty line or a value that chooses nothing.
int matchButton(const RadioGroup &g, const QByteArray &value)
{
    if (value.isEmpty())
        return -1;
    for (size_t i = 0; i < g.buttons.size(); ++i) {
        const RadioButton &b = g.buttons[i];
        if (!b.argument && *b.value && value == b.value)
            return int(i);
    }
    return g.fallback;
}

void stepsForLine(QList<Step> &steps, const QList<QByteArray> &lines, int n)
{
    const QByteArray value = n < lines.size() ? lines.at(n) : QByteArray();

    if (n == JoystickLine) {
        if (value.isEmpty())
            return;
        steps << checkStep(JoystickCheck, true, n);
        if (value == JoystickAuto) {
            steps << selectStep(JoystickGroup, 0, n);
        } else if (const int entry = Config::joystickIndex(value); entry >= 0) {
            steps << selectStep(JoystickGroup, 1, n);
            steps << Step{Step::Kind::JoystickEntry, JoystickList, entry, {}, n};
        }
        return;
    }
    const LineOwner &owner = ownerOf(n);
    if (const RadioGroup *g = owner.group) {
        const int button = matchButton(*g, value);
        if (button < 0)
            return;
        steps << selectStep(g->key, button, n);
        const RadioButton &b = g->buttons[size_t(button)];
        if (g->fieldInLine && b.argument)
            steps << textStep(g->field, value.mid(qsizetype(qstrlen(b.value))), n);
    } else if (const Check *c = owner.check) {
        // Only a set line changes a box: away from its initial state.
        if (!value.isEmpty())
            steps << checkStep(c->name, !c->initial, n);
    } else if (const Field *f = owner.field) {
        steps << textStep(f->name, value, n);
    }
}

} // namespace

QList<Step> loadSteps(const QList<QByteArray> &lines)
{
    QList<Step> steps;
    for (const int n : LoadOrder)
        stepsForLine(steps, lines, n);
    return steps;
}

void apply(State &state, const Step &step)
{
    switch (step.kind) {
    case Step::Kind::Select:
        state.select(step.control, step.index);
        break;
    case Step::Kind::Check:
        state.setChecked(step.control, step.index != 0);
        break;
    case Step::Kind::Text:
        state.setText(step.control, step.text);
        break;
    case Step::Kind::JoystickEntry:
        state.setJoystickEntry(step.index);
        break;
    }
}

State load(const QList<QByteArray> &lines)
{
    State state = State::initial();
    for (const Step &step : loadSteps(lines))
        apply(state, step);
    return state;
}

// ---------------------------------------------------------------------------------------------
// Saving

QByteArray lineValue(const State &state, int line)
{
    if (line == Config::OptionString) {
        QList<QByteArray> lines;
        for (int n = 0; n <= Config::Extra; ++n)
            lines << (n >= Config::FirstSwitch ? lineValue(state, n) : QByteArray());
        return Config::optionString(lines);
    }
    if (line == JoystickLine) {
        if (!state.checked(JoystickCheck))
            return {};
        if (state.selected(JoystickGroup) == 1) {
            const int entry = state.joystickEntry();
            if (entry >= 0 && entry < int(Config::Joysticks.size()))
                return Config::Joysticks[size_t(entry)].value;
            // "Manual Selection" with no entry picked: the user asked for a joystick but named
            // none, so the emulator is told to detect it. The line stays a valid switch, the file
            // keeps its 54 lines, and it loads back as "Use Joystick" with auto detection.
        }
        return JoystickAuto;
    }
    const LineOwner &owner = ownerOf(line);
    if (const RadioGroup *g = owner.group) {
        const RadioButton &b = g->buttons[size_t(state.selected(g->key))];
        QByteArray value = b.value;
        if (b.argument)
            value += state.text(g->field);
        return value;
    }
    if (const Check *c = owner.check) {
        if (state.checked(c->name) == c->initial)
            return {};
        QByteArray value = c->value;
        if (*c->field)
            value += state.text(c->field);
        return value;
    }
    if (const Field *f = owner.field)
        return state.text(f->name);
    return {};
}

QList<QByteArray> save(const State &state)
{
    QList<QByteArray> lines;
    lines.reserve(Config::LineCount);
    for (int n = 0; n < Config::LineCount; ++n)
        lines << (n == Config::OptionString ? QByteArray() : lineValue(state, n));
    lines[Config::OptionString] = Config::optionString(lines);
    return lines;
}

SaveCheck checkBeforeSave(const State &state)
{
    if (!Config::isVisibleName(state.text("config")))
        return SaveCheck::NoName;
    // A name, not a path: "../x" would be saved where the list never shows it.
    if (state.text("config").contains('/'))
        return SaveCheck::NameHasSeparator;
    if (!FileIO::isFile(state.text("mame")))
        return SaveCheck::NoEmulator;
    if (!FileIO::isDirectory(state.text("Edit1")))
        return SaveCheck::NoRomDirectory;
    return SaveCheck::Passed;
}

QString checkMessage(SaveCheck check)
{
    switch (check) {
    case SaveCheck::NoName:
        return QStringLiteral("Field Configuration Name empty.");
    case SaveCheck::NameHasSeparator:
        return QStringLiteral("A configuration name cannot hold the character \"/\".");
    case SaveCheck::NoEmulator:
        return QStringLiteral("No Emulator selected, or emulator does not exist");
    case SaveCheck::NoRomDirectory:
        return QStringLiteral("Roms Directory field empty or doesn\u00B4t exists");
    case SaveCheck::Passed:
        break;
    }
    return {};
}

QByteArray targetPath(const QByteArray &configurationDirectory, const QByteArray &name)
{
    return PathRules::join(configurationDirectory, Config::fileName(name));
}

QByteArray autoRomDirectory(const QByteArray &emulator, bool *found)
{
    const QByteArray directory = PathRules::directoryPart(emulator);
    const QByteArray roms = FileIO::findSubdirectory(directory, "ROMS");
    *found = true;
    if (!roms.isEmpty())
        return PathRules::join(directory, roms);
    if (FileIO::isDirectory(directory))
        return directory;
    *found = false;
    return {};
}

QByteArray gameListDirectory(const QByteArray &romDirectory, const QByteArray &configurationDirectory)
{
    if (FileIO::isDirectory(romDirectory))
        return romDirectory;
    return Config::romsOrSelf(configurationDirectory);
}

} // namespace Options
