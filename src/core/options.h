// The option catalogue of the configuration editor, as plain data: every page, group box, radio
// group, check box and text field with its name, caption and configuration line; the rules that
// tie a companion field to its button or box; and the two mappings between the state of the
// controls and the 54 configuration lines (saving, and loading with its matching rules).
//
// The editor window builds its controls from these tables and only applies states to them and
// reads them back; everything here can be driven without a window.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <array>
#include <vector>

namespace Options {

// The notebook's pages, in tab order.
enum class Page : int { ConfigOptions, GameOptions, Video, Sound, Controls, Advanced };
inline constexpr int PageCount = 6;
extern const std::array<const char *, PageCount> PageCaptions;

// Where a box's Information button stands: on a row of its own below the options, or beside
// the last of them.
enum class InfoPlace { Below, Beside };

// How a box stands on its page and lays out its controls.
struct Place {
    int column;          // the page's column it stands in, from the left
    int buttonColumns;   // its radio buttons and check boxes side by side; a companion takes the rest of its row
    InfoPlace info;
    int share = 0;       // its share of the column's height; 0: as high as its controls
    // A chooser: its buttons one under another, then its field with this Search button beside it.
    const char *search = "";
    // Narrower margins and spacing: its buttons side by side need every pixel of the column.
    bool narrow = false;
};

// A framed, captioned group of controls on a page, with its Information button ("" when none).
struct Box {
    const char *name;
    const char *caption;
    Page page;
    const char *info;
    Place place;
};

// A column of boxes on a page, or of one control that fills it (the joystick list).
struct Column {
    int stretch;         // its share of the page's width
    int spacing;         // between its boxes
    const char *control = "";
};

// A row of controls lying on a page outside any box, above or below its columns: buttons with
// free space after them, or one labelled field that takes the rest of the row.
struct Row {
    std::vector<const char *> controls;
    int spacing = 0;
    const char *label = "";  // the name of the field's label, which shows the field's caption
};

// How a page of boxes is laid out: its columns side by side, each holding its boxes in catalogue
// order, between an optional row above and below them.
struct PageLayout {
    Page page;
    std::array<int, 4> margins;  // left, top, right, bottom
    int spacing;                 // between the columns, and between the rows and the columns
    std::vector<Column> columns;
    Row above;
    Row below;
    int panelColumn = -1;        // the column the game list panel lies over; -1: none
};

// What a button becoming chosen, or a box becoming checked or cleared, does to its companion.
enum class Effect {
    None,
    Clear,   // text cleared, painted button-face, disabled
    Off,     // disabled and painted button-face; its content kept (the joystick list)
    Enable,  // painted as usable and enabled; its content kept
    Preset,  // painted as usable, enabled, and its text replaced by the preset
};
// The text "Other:" puts into the resolution field: width, the letter x, height.
inline const QByteArray ResolutionPreset = "000x000";

struct RadioButton {
    const char *name;
    const char *caption;
    const char *value;   // the group's line when this button is chosen (empty for the default)
    bool argument;       // the value is followed by the companion field's text
    Effect effect;       // on the group's companion when this button becomes chosen
};

// Radio buttons that exclude one another. Button 0 is chosen in a fresh window.
struct RadioGroup {
    const char *key;     // the group's name in a State: the buttons' common stem
    const char *box;     // the group box; "" when the buttons lie directly on the page
    Page page;
    int line;            // the configuration line; -1 when the group has none of its own
    std::vector<RadioButton> buttons;
    int fallback;        // button chosen by a non-empty line that equals no fixed value; -1: none
    const char *field;   // the companion ("" when none)
    bool fieldInLine;    // loading takes the companion's text from this line after the value's prefix
};

// A check box; its line holds `value` (followed by the companion's text when there is one) while
// the box is away from its initial state, and is empty otherwise.
struct Check {
    const char *name;
    const char *caption;
    const char *box;
    Page page;
    int line;
    const char *value;
    const char *field;   // the companion ("" when none)
    bool initial;
};

// A one-line text field. `line` is the line that holds its text verbatim (-1: none).
struct Field {
    const char *name;
    const char *label;   // its label's caption, "" when the field is labelled otherwise
    const char *box;
    Page page;
    int line;
    bool dependent;      // usable only while its option holds; starts disabled, button-face
};

extern const std::vector<Box> Boxes;
// Every page but the first, in tab order; "Config Options" holds no boxes and is laid out by the
// window itself.
extern const std::vector<PageLayout> PageLayouts;
extern const std::vector<RadioGroup> RadioGroups;
extern const std::vector<Check> Checks;
extern const std::vector<Field> Fields;

// The joystick controls of the "Controls" page (line 14): the "Use Joystick" box, the pair of
// radio buttons (auto detection / manual selection) and the list of the joystick table.
inline const QByteArray JoystickCheck = "joystick";
inline const QByteArray JoystickGroup = "joysticktype";
inline const QByteArray JoystickList = "joysticklist";
inline const QByteArray JoystickAuto = "-joy auto";
inline constexpr int JoystickLine = 14;

// The controls besides the dependent fields whose use the rules decide (State::enabled).
inline constexpr std::array<const char *, 5> RuledButtons = {"joysticklist", "joystick1", "joystick2", "Button2",
                                                             "Button6"};

// Look-ups by name; nullptr when the catalogue has no such entry.
const Box *box(const QByteArray &name);
const RadioGroup *radioGroup(const QByteArray &key);
const Check *check(const QByteArray &name);
const Field *field(const QByteArray &name);
// The group and position of a radio button by its name; nullptr when none.
const RadioGroup *groupOfButton(const QByteArray &name, int *index = nullptr);

// The order in which loading applies the lines.
extern const std::vector<int> LoadOrder;

// The state of every option control: the chosen button of each radio group, the check of each
// box, the bytes of each text field and the selected joystick entry. Changing it through select
// and setChecked applies the companion rules to the texts, as the window's handlers do; changing
// a control to the state it already has changes nothing.
class State {
public:
    // The catalogue's initial state: button 0 of every group, every box at its initial check,
    // every text empty, no joystick entry.
    static State initial();

    int selected(const QByteArray &group) const { return m_radio.value(group, 0); }
    bool checked(const QByteArray &name) const { return m_checks.value(name, false); }
    QByteArray text(const QByteArray &field) const { return m_texts.value(field); }
    int joystickEntry() const { return m_joystickEntry; }

    void select(const QByteArray &group, int button);
    void setChecked(const QByteArray &name, bool on);
    void setText(const QByteArray &field, const QByteArray &text) { m_texts[field] = text; }
    void setJoystickEntry(int entry) { m_joystickEntry = entry; }

    // Whether a dependent control is usable in this state (companion fields, the game field,
    // the ROM directory field, the joystick buttons and list).
    bool enabled(const QByteArray &control) const;

    bool operator==(const State &other) const;
    bool operator!=(const State &other) const { return !(*this == other); }

private:
    QMap<QByteArray, int> m_radio;
    QMap<QByteArray, bool> m_checks;
    QMap<QByteArray, QByteArray> m_texts;
    int m_joystickEntry = -1;
};

// One change applied by loading, in order.
struct Step {
    enum class Kind { Select, Check, Text, JoystickEntry };
    Kind kind;
    QByteArray control;  // group key, check box or field
    int index = 0;       // the button (Select), 1/0 for checked/clear (Check), the entry
    QByteArray text;     // Text
    int line = -1;       // the line that caused it

    bool operator==(const Step &o) const
    {
        return kind == o.kind && control == o.control && index == o.index && text == o.text && line == o.line;
    }
};

// The changes that turn a fresh editor into the configuration `lines`, in the loading order.
// Comparisons are exact and case-sensitive; a line of at least one character counts as set;
// a value matching none of its fixed values changes nothing; missing lines count as empty.
QList<Step> loadSteps(const QList<QByteArray> &lines);
void apply(State &state, const Step &step);
// The state a fresh editor reaches by loading `lines`.
State load(const QList<QByteArray> &lines);

// The value a state writes to one line (0..53); line 41 is the option string of lines 2 to 39.
QByteArray lineValue(const State &state, int line);
// The 54 lines a save writes.
QList<QByteArray> save(const State &state);

// The checks a save makes first, in order.
enum class SaveCheck { Passed, NoName, NameHasSeparator, NoEmulator, NoRomDirectory };
SaveCheck checkBeforeSave(const State &state);
// The message of a failed check.
QString checkMessage(SaveCheck check);

// The file a configuration named `name` is saved to, in the configuration directory.
QByteArray targetPath(const QByteArray &configurationDirectory, const QByteArray &name);

// The ROM directory that follows an emulator path: its directory's "ROMS" subdirectory (in any
// letter case, named as on disk), else the directory itself; empty with `found` false when the
// directory does not exist.
QByteArray autoRomDirectory(const QByteArray &emulator, bool *found);

// The directory the game list shows: the ROM directory when it exists, else the configuration
// directory's "roms" subdirectory (any letter case), else the configuration directory.
QByteArray gameListDirectory(const QByteArray &romDirectory, const QByteArray &configurationDirectory);

} // namespace Options
