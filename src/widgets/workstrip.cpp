#include "workstrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

WorkStrip::WorkStrip(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("workstrip"));
    m_label = new QLabel(this);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("workprogress"));
    m_bar->setTextVisible(false);
    m_bar->setMaximumHeight(fontMetrics().height());
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("workcancel"));
    m_cancel->setAutoDefault(false);
    m_label->setBuddy(m_cancel);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 1, 4, 1);
    row->setSpacing(6);
    row->addWidget(m_label);
    row->addWidget(m_bar, 1);
    row->addWidget(m_cancel);
    connect(m_cancel, &QPushButton::clicked, this, &WorkStrip::cancelled);
    hide();
}

void WorkStrip::showWork(const QString &text, int done, int total)
{
    m_label->setText(text);
    m_bar->setRange(0, total > 0 ? total : 0);
    if (total > 0)
        m_bar->setValue(std::min(done, total));
    const QString said = total > 0 ? QStringLiteral("%1: %2 of %3").arg(text).arg(done).arg(total) : text;
    m_bar->setAccessibleName(said);
    m_cancel->setAccessibleDescription(QStringLiteral("Cancel: %1").arg(text));
    show();
}

void WorkStrip::finish()
{
    hide();
}
