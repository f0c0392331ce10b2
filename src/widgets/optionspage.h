// The "Emulator Options" page: every option the emulator lists in "-showusage", under its own
// headings, each with a control of its type (a three-state check for an on/off option, else a
// field whose placeholder is the emulator's value), its label its buddy, and the emulator's
// description as tooltip and accessible description. "Find:" narrows it by name or description.
// Options set on the other pages are shown read-only with that page's caption. The controls are
// built on the first showing; until then the values are only held.
#pragma once

#include "extracommands.h"
#include "optioncheck.h"
#include "usage.h"
#include "vocabulary.h"

#include <QHash>
#include <QMap>
#include <QWidget>

class QCheckBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class WorkStrip;

class OptionsPage : public QWidget {
    Q_OBJECT
public:
    explicit OptionsPage(QWidget *parent = nullptr);

    // The emulator's answers; the page is built again on its next showing.
    void setEmulator(const Usage &usage, const Vocabulary &words);
    bool hasEmulator() const { return !m_usage.isEmpty(); }
    // What the page sets of an option name (without "-"): none for another page's option.
    ExtraCommands::Kind kind(QByteArrayView name) const;
    // The options set on the page (name to value, "1"/"0" for on/off), and setting them.
    QMap<QByteArray, QByteArray> values() const;
    void setValues(const QMap<QByteArray, QByteArray> &values);
    // Options another page sets, each with that page's caption: read-only here.
    void setFixed(const QMap<QByteArray, QString> &captions);

    // Builds the controls now (the first showing does).
    void build();
    bool isBuilt() const { return m_built; }
    QLineEdit *findField() const { return m_find; }
    // Narrows the page to the options whose name or description holds `text`.
    void narrow(const QString &text);

    // "Check with the emulator": the button, the strip that shows the check going on (with its
    // Cancel), and the line that says how it ended.
    QPushButton *checkButton() const { return m_checkButton; }
    WorkStrip *checkStrip() const { return m_checkStrip; }
    QLabel *verdict() const { return m_verdict; }
    // What the emulator said: beside each option it names, and in the verdict line. Choices the
    // emulator does not judge without a run are told so beside them.
    void showCheck(const OptionCheck::Result &result);
    // A check that gave no answer: `text` says why.
    void showCheckFailed(const QString &text);
    void clearCheck();
    // What is said beside an option after a check; empty when nothing is.
    QString noteOf(QByteArrayView name) const;

signals:
    void changed();
    // The page is about to show: whoever sets its emulator can do so now, for it is built next.
    void aboutToShow();
    void checkRequested();

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Row {
        QLabel *label;
        QWidget *control;
        QCheckBox *check;
        QLineEdit *edit;
        int heading;
        QString haystack;
        QLabel *note = nullptr;
    };
    void setNote(Row &row, const QString &text, bool warning);
    // What the page shows of an option name, another page's option included.
    ExtraCommands::Kind offered(QByteArrayView name) const;
    void markSet(Row &row);
    void countHeadings();

    Usage m_usage;
    Vocabulary m_words;
    QMap<QByteArray, QByteArray> m_values;
    QMap<QByteArray, QString> m_fixed;
    bool m_built = false;
    QLineEdit *m_find;
    QPushButton *m_checkButton;
    WorkStrip *m_checkStrip;
    QLabel *m_verdict;
    QList<QFormLayout *> m_forms;
    QWidget *m_content = nullptr;
    QVBoxLayout *m_outer;
    QList<QGroupBox *> m_boxes;
    QHash<QByteArray, int> m_rowOf;
    QList<Row> m_rows;
    QList<QByteArray> m_names;
};
