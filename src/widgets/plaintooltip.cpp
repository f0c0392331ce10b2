#include "plaintooltip.h"

#include <QEvent>
#include <QHelpEvent>
#include <QString>
#include <QToolTip>
#include <QWidget>

namespace PlainToolTip {

namespace {

class Filter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        show(static_cast<QHelpEvent *>(event)->globalPos(), widget->toolTip(), widget);
        return true;
    }
};

} // namespace

QString richText(const QString &text)
{
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

void show(const QPoint &globalPos, const QString &text, QWidget *widget, const QRect &rect)
{
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(globalPos, richText(text), widget, rect, widget ? widget->toolTipDuration() : -1);
}

void install(QWidget *widget)
{
    if (!widget->findChild<Filter *>(QString(), Qt::FindDirectChildrenOnly))
        widget->installEventFilter(new Filter(widget));
}

} // namespace PlainToolTip
