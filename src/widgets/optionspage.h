// The "Emulator Options" page: every option the emulator lists in "-showusage", under its own
// headings, each with a control of its type (a three-state check for an on/off option, else a
// field whose placeholder is the emulator's value), its label its buddy, and the emulator's
// description as tooltip and accessible description. "Find:" narrows it by name or description.
// Options set on the other pages are shown read-only with that page's caption. The controls are
// built on the first showing; until then the values are only held.
#pragma once

#include "extracommands.h"
#include "usage.h"
#include "vocabulary.h"

#include <QHash>
#include <QMap>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QVBoxLayout;

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

signals:
    void changed();

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
    };
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
    QWidget *m_content = nullptr;
    QVBoxLayout *m_outer;
    QList<QGroupBox *> m_boxes;
    QHash<QByteArray, int> m_rowOf;
    QList<Row> m_rows;
    QList<QByteArray> m_names;
};
