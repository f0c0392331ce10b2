#include "hyperlinklabel.h"

#include "modals.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QUrl>

namespace {

// The eight prefixes, one per link type; the last is the shared custom prefix.
QString prefixes[] = {
    QStringLiteral("mailto:"), QStringLiteral("file://"), QStringLiteral("gopher://"), QStringLiteral("http://"),
    QStringLiteral("news:"),   QStringLiteral("wais:"),   QStringLiteral("telnet:"),   QString(),
};

QString &prefixOf(TLinkType type)
{
    return prefixes[static_cast<int>(type)];
}

// Every link alive, so that a new custom prefix reaches each ltCustom link.
QList<THyperLink *> &links()
{
    static QList<THyperLink *> all;
    return all;
}

THyperLink::Opener &opener()
{
    static THyperLink::Opener f;
    return f;
}

THyperLink::ClipboardWriter &clipboardWriter()
{
    static THyperLink::ClipboardWriter f;
    return f;
}

bool desktopOpen(const QString &address)
{
    return QDesktopServices::openUrl(QUrl(address));
}

bool desktopClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text);
    return true;
}

// A screen reader sees a link it can press.
class HyperLinkAccessible : public QAccessibleWidget {
public:
    explicit HyperLinkAccessible(THyperLink *link) : QAccessibleWidget(link, QAccessible::Link) {}

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            static_cast<THyperLink *>(widget())->click();
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("THyperLink") && object && object->isWidgetType())
        return new HyperLinkAccessible(static_cast<THyperLink *>(object));
    return nullptr;
}

} // namespace

THyperLink::THyperLink(QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(factoryInstalled);

    setGeometry(20, 20, 100, 13);
    setCursor(Qt::PointingHandCursor);
    // Keyboard users reach a link with Tab and open it with Enter or Space.
    setFocusPolicy(Qt::StrongFocus);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu"));
    QAction *copy = m_popup->addAction(QStringLiteral("Copy Url to clipboard"));
    copy->setObjectName(QStringLiteral("CopyUrl"));
    connect(copy, &QAction::triggered, this, [this] { copyToClipboard(); });

    links().append(this);
    setCustomPrefix(QString());
    refresh();
}

THyperLink::~THyperLink()
{
    links().removeOne(this);
}

QString THyperLink::prefix(TLinkType type)
{
    return prefixOf(type);
}

QString THyperLink::CustomPrefix()
{
    return prefixOf(TLinkType::ltCustom);
}

void THyperLink::setCustomPrefix(const QString &prefix)
{
    const QString cut = prefix.left(MaxCustomPrefixLength);
    if (cut == prefixOf(TLinkType::ltCustom))
        return;
    prefixOf(TLinkType::ltCustom) = cut;
    for (THyperLink *link : std::as_const(links()))
        if (link->m_linkType == TLinkType::ltCustom)
            link->refresh();
}

void THyperLink::setCaption(const QString &caption)
{
    m_caption = caption;
    m_visited = false;
    refresh();
}

void THyperLink::setAlias(const QString &alias)
{
    if (alias == m_alias)
        return;
    m_alias = alias;
    refresh();
}

void THyperLink::setAutoSize(bool autoSize)
{
    if (autoSize == m_autoSize)
        return;
    m_autoSize = autoSize;
    refresh();
}

void THyperLink::setTransparent(bool transparent)
{
    if (transparent == m_transparent)
        return;
    m_transparent = transparent;
    refresh();
}

void THyperLink::setLinkType(TLinkType type)
{
    if (type == m_linkType)
        return;
    m_linkType = type;
    m_visited = false;
    refresh();
}

void THyperLink::setLinkColor(const QColor &color)
{
    if (color == m_linkColor)
        return;
    m_linkColor = color;
    refresh();
}

void THyperLink::setVisitedColor(const QColor &color)
{
    if (color == m_visitedColor)
        return;
    m_visitedColor = color;
    refresh();
}

void THyperLink::setVisited(bool visited)
{
    if (visited == m_visited)
        return;
    m_visited = visited;
    refresh();
}

void THyperLink::setAlign(TAlign align)
{
    if (align == m_align)
        return;
    m_align = align;
    refresh();
}

QColor THyperLink::Color() const
{
    return palette().color(QPalette::Window);
}

void THyperLink::setColor(const QColor &color)
{
    if (color == Color())
        return;
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    refresh();
}

void THyperLink::setHint(const QString &hint)
{
    m_designerHint = hint;
    updateHint();
}

void THyperLink::setShowHint(bool show)
{
    if (show == m_showHint)
        return;
    m_showHint = show;
    updateHint();
}

QString THyperLink::address() const
{
    return prefixOf(m_linkType) + m_caption;
}

QString THyperLink::displayText() const
{
    return m_alias.isEmpty() ? prefixOf(m_linkType) + m_caption : m_alias;
}

QFont THyperLink::linkFont() const
{
    QFont f = font();
    f.setUnderline(true);
    return f;
}

int THyperLink::neededWidth() const
{
    const QFontMetrics fm(linkFont());
    if (!m_alias.isEmpty())
        return fm.horizontalAdvance(m_alias) + 8;
    return fm.horizontalAdvance(prefixOf(m_linkType) + m_caption) + 10;
}

int THyperLink::lineHeight() const
{
    // The height of a line of text such as "xY", with room for the underline.
    return QFontMetrics(linkFont()).height() + 4;
}

QSize THyperLink::sizeHint() const
{
    return {neededWidth(), lineHeight()};
}

void THyperLink::refresh()
{
    setAccessibleName(displayText());
    setAccessibleDescription(address());
    // Until the link is first shown it keeps the size it was given.
    if (m_polished)
        applyAutoSize();
    updateHint();
    updateGeometry();
    update();
}

void THyperLink::applyAutoSize()
{
    if (!m_autoSize)
        return;
    QSize size = this->size();
    if (m_align == TAlign::alNone || m_align == TAlign::alLeft || m_align == TAlign::alRight)
        size.setWidth(neededWidth());
    if (m_align == TAlign::alNone || m_align == TAlign::alTop || m_align == TAlign::alBottom)
        size.setHeight(lineHeight());
    if (size != this->size())
        resize(size);
}

void THyperLink::updateHint()
{
    QString hint;
    if (m_showHint)
        hint = neededWidth() <= width() && !m_designerHint.isEmpty() ? m_designerHint : address();
    if (hint != toolTip())
        setToolTip(hint);
}

void THyperLink::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_transparent)
        painter.fillRect(rect(), Color());

    const QFont f = linkFont();
    const QFontMetrics fm(f);
    painter.setFont(f);
    painter.setPen(m_visited ? m_visitedColor : m_linkColor);

    QRect text = rect();
    text.setLeft(text.left() + 4);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    if (!m_alias.isEmpty()) {
        painter.drawText(text, flags, m_alias);
    } else {
        const QString prefix = prefixOf(m_linkType);
        painter.drawText(text, flags, prefix);
        text.setLeft(text.left() + fm.horizontalAdvance(prefix) + 2);
        painter.drawText(text, flags, fm.elidedText(m_caption, Qt::ElideRight, qMax(0, text.width())));
    }

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.backgroundColor = Color();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void THyperLink::click()
{
    bool ExecuteIt = true;
    int result = ResultDone;
    if (OnBeforeExecuted) {
        OnBeforeExecuted(this, ExecuteIt);
        if (!ExecuteIt)
            return;
    }
    if (OnExecute)
        OnExecute(this, ExecuteIt);
    if (ExecuteIt) {
        const Opener &open = opener() ? opener() : Opener(desktopOpen);
        result = open(address().left(MaxAddressLength)) ? ResultDone : ResultNotOpened;
        // Where no browser or mail program is set up, the click would otherwise do nothing at all.
        if (result == ResultNotOpened)
            Modals::current().error(QStringLiteral("Cannot open ") + address()
                                    + QStringLiteral(": no program on this desktop opens it."));
    }
    if (result > 32)
        setVisited(true);
    if (OnAfterExecuted)
        OnAfterExecuted(this, result);
}

void THyperLink::copyToClipboard()
{
    const ClipboardWriter &write = clipboardWriter() ? clipboardWriter() : ClipboardWriter(desktopClipboard);
    if (!write(address()))
        Modals::current().message(QStringLiteral("Could not write to clipboard"));
}

THyperLink::Opener THyperLink::setOpener(Opener f)
{
    Opener previous = std::move(opener());
    opener() = std::move(f);
    return previous;
}

THyperLink::ClipboardWriter THyperLink::setClipboardWriter(ClipboardWriter f)
{
    ClipboardWriter previous = std::move(clipboardWriter());
    clipboardWriter() = std::move(f);
    return previous;
}

void THyperLink::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        click();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void THyperLink::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            event->accept();
            click();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void THyperLink::contextMenuEvent(QContextMenuEvent *event)
{
    // The right button opens the menu at the pointer; the menu key opens it at the link.
    const QPoint at = event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                   : mapToGlobal(QPoint(4, height()));
    m_popup->popup(at);
    event->accept();
}

void THyperLink::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        refresh();
    QWidget::changeEvent(event);
}

void THyperLink::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateHint();
}

bool THyperLink::event(QEvent *event)
{
    if (event->type() == QEvent::Polish && !m_polished) {
        m_polished = true;
        refresh();
    }
    return QWidget::event(event);
}
