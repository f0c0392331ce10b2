#include "optionspage.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include "workstrip.h"
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

OptionsPage::OptionsPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("EmulatorOptions"));
    m_outer = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *findLabel = new QLabel(QStringLiteral("&Find:"), this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("optionsfind"));
    findLabel->setBuddy(m_find);
    top->addWidget(findLabel);
    top->addWidget(m_find, 1);
    m_checkButton = new QPushButton(QStringLiteral("C&heck with the emulator"), this);
    m_checkButton->setObjectName(QStringLiteral("optionscheck"));
    m_checkButton->setToolTip(QStringLiteral("Runs the emulator with -showconfig and this configuration's switches, "
                                             "and shows what it says of them"));
    top->addWidget(m_checkButton);
    m_outer->addLayout(top);
    m_checkStrip = new WorkStrip(this);
    m_checkStrip->setObjectName(QStringLiteral("optionswork"));
    m_outer->addWidget(m_checkStrip);
    m_verdict = new QLabel(this);
    m_verdict->setObjectName(QStringLiteral("optionsverdict"));
    m_verdict->setWordWrap(true);
    m_verdict->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_verdict->hide();
    m_outer->addWidget(m_verdict);
    connect(m_find, &QLineEdit::textChanged, this, &OptionsPage::narrow);
    connect(m_checkButton, &QPushButton::clicked, this, &OptionsPage::checkRequested);
}

void OptionsPage::setEmulator(const Usage &usage, const Vocabulary &words)
{
    m_values = values();
    m_usage = usage;
    m_words = words;
    if (m_built) {
        m_built = false;
        if (isVisible())
            build();
    }
}

ExtraCommands::Kind OptionsPage::offered(QByteArrayView name) const
{
    // Only options: the commands -showusage lists have no value in -showconfig.
    if (!m_usage.option(name) || (m_words.isKnown() && !m_words.value(name)))
        return ExtraCommands::Kind::None;
    return m_words.isSwitch(name) ? ExtraCommands::Kind::OnOff : ExtraCommands::Kind::Value;
}

ExtraCommands::Kind OptionsPage::kind(QByteArrayView name) const
{
    // Another page's option stays the user's words in line 39, as it always was.
    return m_fixed.contains(name.toByteArray()) ? ExtraCommands::Kind::None : offered(name);
}

QMap<QByteArray, QByteArray> OptionsPage::values() const
{
    if (!m_built)
        return m_values;
    QMap<QByteArray, QByteArray> out;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const Row &r = m_rows.at(i);
        if (r.check && r.check->isEnabled() && r.check->checkState() != Qt::PartiallyChecked)
            out.insert(m_names.at(i), r.check->isChecked() ? "1" : "0");
        else if (r.edit && !r.edit->isReadOnly() && !r.edit->text().isEmpty())
            out.insert(m_names.at(i), r.edit->text().toUtf8());
    }
    return out;
}

void OptionsPage::setValues(const QMap<QByteArray, QByteArray> &values)
{
    m_values = values;
    if (!m_built)
        return;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        Row &r = m_rows[i];
        const auto v = values.constFind(m_names.at(i));
        const QSignalBlocker block(r.control);
        if (r.check)
            r.check->setCheckState(v == values.constEnd() ? Qt::PartiallyChecked : *v == "0" ? Qt::Unchecked : Qt::Checked);
        else if (!r.edit->isReadOnly())
            r.edit->setText(v == values.constEnd() ? QString() : QString::fromUtf8(*v));
        markSet(r);
    }
    countHeadings();
}

void OptionsPage::setFixed(const QMap<QByteArray, QString> &captions)
{
    m_values = values();
    m_fixed = captions;
    if (m_built) {
        m_built = false;
        if (isVisible())
            build();
    }
}

void OptionsPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    emit aboutToShow();
    if (!m_built)
        build();
}

void OptionsPage::build()
{
    m_verdict->hide();
    delete m_content;
    m_rows.clear();
    m_names.clear();
    m_rowOf.clear();
    m_boxes.clear();
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    m_content = scroll;
    auto *inner = new QWidget;
    auto *column = new QVBoxLayout(inner);
    m_forms.clear();
    QList<QFormLayout *> &forms = m_forms;
    for (const QByteArray &h : m_usage.headings()) {
        auto *box = new QGroupBox(QString::fromUtf8(h), inner);
        forms << new QFormLayout(box);
        column->addWidget(box);
        m_boxes << box;
    }
    column->addStretch(1);
    for (const Usage::Option &o : m_usage.options()) {
        const ExtraCommands::Kind k = offered(o.name);
        if (k == ExtraCommands::Kind::None)
            continue;
        QGroupBox *box = m_boxes.at(o.heading);
        const QString name = QStringLiteral("-") + QString::fromUtf8(o.name);
        const QString description = QString::fromUtf8(o.description);
        Row r{new QLabel(name, box), nullptr, nullptr, nullptr, o.heading, name + QLatin1Char(' ') + description};
        const auto fixed = m_fixed.constFind(o.name);
        const auto value = m_values.constFind(o.name);
        const auto follow = [this, i = m_rows.size()] {
            markSet(m_rows[i]);
            countHeadings();
            emit changed();
        };
        if (fixed != m_fixed.constEnd()) {
            // Shown, and read, but set on its own page.
            r.edit = new QLineEdit(*fixed, box);
            r.edit->setReadOnly(true);
            QPalette palette = r.edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Button));
            r.edit->setPalette(palette);
            r.control = r.edit;
        } else if (k == ExtraCommands::Kind::OnOff) {
            r.check = new QCheckBox(box);
            r.check->setTristate(true);
            r.check->setCheckState(value == m_values.constEnd() ? Qt::PartiallyChecked
                                   : *value == "0" ? Qt::Unchecked : Qt::Checked);
            r.control = r.check;
            connect(r.check, &QCheckBox::stateChanged, this, follow);
        } else {
            r.edit = new QLineEdit(box);
            r.edit->setPlaceholderText(QString::fromUtf8(m_words.value(o.name).value_or(QByteArray())));
            if (value != m_values.constEnd())
                r.edit->setText(QString::fromUtf8(*value));
            r.control = r.edit;
            connect(r.edit, &QLineEdit::textChanged, this, follow);
        }
        const QString said = fixed == m_fixed.constEnd() ? description : *fixed + QStringLiteral(": ") + description;
        r.control->setObjectName(QString::fromUtf8(o.name));
        r.label->setBuddy(r.control);
        r.control->setToolTip(said);
        r.control->setAccessibleName(name);
        r.control->setAccessibleDescription(said);
        r.label->setToolTip(description);
        forms.at(o.heading)->addRow(r.label, r.control);
        m_rowOf.insert(o.name, int(m_rows.size()));
        m_rows << r;
        m_names << o.name;
        markSet(m_rows.back());
    }
    scroll->setWidget(inner);
    m_outer->addWidget(scroll, 1);
    scroll->show(); // at once, not when the layout gets to it: the page is on screen

    m_built = true;
    countHeadings();
    narrow(m_find->text());
}

void OptionsPage::markSet(Row &r)
{
    const bool set = r.check ? r.check->isEnabled() && r.check->checkState() != Qt::PartiallyChecked
                             : !r.edit->isReadOnly() && !r.edit->text().isEmpty();
    if (r.label->font().bold() != set) {
        QFont f = r.label->font();
        f.setBold(set);
        r.label->setFont(f);
    }
}

void OptionsPage::countHeadings()
{
    QList<int> counts(m_boxes.size(), 0);
    for (const Row &r : std::as_const(m_rows))
        counts[r.heading] += r.label->font().bold() ? 1 : 0;
    for (qsizetype i = 0; i < m_boxes.size(); ++i) {
        const QString title = QString::fromUtf8(m_usage.headings().at(i));
        m_boxes.at(i)->setTitle(counts.at(i) ? QStringLiteral("%1 (%2 set)").arg(title).arg(counts.at(i)) : title);
    }
}

void OptionsPage::narrow(const QString &text)
{
    if (!m_built)
        return;
    QList<bool> shown(m_boxes.size(), false);
    for (Row &r : m_rows) {
        const bool show = text.isEmpty() || r.haystack.contains(text, Qt::CaseInsensitive);
        if (r.label->isHidden() == show) {
            // The whole row, its spacing too.
            m_forms.at(r.heading)->setRowVisible(r.control, show);
            if (r.note)
                m_forms.at(r.heading)->setRowVisible(r.note, show);
        }
        shown[r.heading] = shown[r.heading] || show;
    }
    for (qsizetype i = 0; i < m_boxes.size(); ++i)
        m_boxes.at(i)->setVisible(shown.at(i));
}

void OptionsPage::setNote(Row &r, const QString &text, bool warning)
{
    if (!r.note) {
        r.note = new QLabel(r.control->parentWidget());
        r.note->setWordWrap(true);
        r.note->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        int at = 0;
        QFormLayout::ItemRole role;
        m_forms.at(r.heading)->getWidgetPosition(r.control, &at, &role);
        m_forms.at(r.heading)->insertRow(at + 1, r.note);
        m_forms.at(r.heading)->setRowVisible(r.note, !r.label->isHidden());
    }
    r.note->setText(text);
    QPalette palette = r.note->palette();
    palette.setColor(QPalette::WindowText, warning ? QColor(0xa0, 0, 0) : QApplication::palette(r.note).color(QPalette::WindowText));
    r.note->setPalette(palette);
    // A screen reader hears it with the control.
    const QString description = r.control->toolTip();
    r.control->setAccessibleDescription(text + QStringLiteral(" ") + description);
}

void OptionsPage::clearCheck()
{
    m_verdict->hide();
    m_verdict->clear();
    for (Row &r : m_rows)
        if (r.note) {
            m_forms.at(r.heading)->removeRow(r.note);
            r.note = nullptr;
            r.control->setAccessibleDescription(r.control->toolTip());
        }
}

void OptionsPage::showCheck(const OptionCheck::Result &result)
{
    clearCheck();
    QStringList elsewhere = result.general;
    for (auto it = result.byOption.constBegin(); it != result.byOption.constEnd(); ++it) {
        const auto row = m_rowOf.constFind(it.key());
        if (row != m_rowOf.constEnd() && m_built)
            setNote(m_rows[*row], it.value().join(QLatin1Char('\n')), true);
        else
            elsewhere << it.value();
    }
    // A choice passes -showconfig whatever it is: only a run says it is wrong.
    if (m_built)
        for (qsizetype i = 0; i < m_rows.size(); ++i) {
            Row &r = m_rows[i];
            if (r.edit && !r.edit->isReadOnly() && !r.edit->text().isEmpty() && !r.note
                && Usage::offersChoice(m_usage.option(m_names.at(i))->description))
                setNote(r, QStringLiteral("-showconfig takes any word here: only a run tells whether the "
                                          "emulator has this choice"), false);
        }
    if (result.allTaken()) {
        m_verdict->setText(QStringLiteral("The emulator takes every option as set."));
    } else {
        QString text = QStringLiteral("The emulator says:");
        for (const QString &line : std::as_const(elsewhere))
            text += QLatin1Char('\n') + line;
        for (auto it = result.byOption.constBegin(); it != result.byOption.constEnd(); ++it)
            if (m_rowOf.contains(it.key()))
                text += QStringLiteral("\n-%1: %2").arg(QString::fromUtf8(it.key()), it.value().join(QStringLiteral("; ")));
        m_verdict->setText(text);
    }
    m_verdict->show();
}

void OptionsPage::showCheckFailed(const QString &text)
{
    clearCheck();
    m_verdict->setText(text);
    m_verdict->show();
}

QString OptionsPage::noteOf(QByteArrayView name) const
{
    const auto row = m_rowOf.constFind(name.toByteArray());
    if (row == m_rowOf.constEnd() || !m_rows.at(*row).note)
        return {};
    return m_rows.at(*row).note->text();
}
