// A label that shows an internet address (a web page, a mailbox, a news group...) underlined in a
// link colour, opens it with the desktop's handler when clicked, marks itself visited after a
// successful open, and offers a right-button menu that copies the full address to the clipboard.
//
// The address is a scheme prefix chosen by LinkType followed by the Caption. The prefix of
// ltCustom is one text shared by every link (CustomPrefix).
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>

class QMenu;

enum class TLinkType { ltEmail, ltFile, ltGopher, ltHttp, ltNews, ltWais, ltTelnet, ltCustom };

// Which edge of its parent a link is docked to; it decides which dimensions AutoSize may change.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class THyperLink : public QWidget {
    Q_OBJECT
public:
    // Asked before opening; clearing ExecuteIt cancels the click.
    using TBeforeExecuteEvent = std::function<void(THyperLink *sender, bool &ExecuteIt)>;
    // Asked next; clearing ExecuteIt means the handler opened the address itself.
    using TExecuteEvent = std::function<void(THyperLink *sender, bool &ExecuteIt)>;
    // Told the result code of the click: above 32 for success.
    using TAfterExecuteEvent = std::function<void(THyperLink *sender, int reslt)>;

    // Opens an address with the desktop's handler; true when the desktop accepted it.
    using Opener = std::function<bool(const QString &address)>;
    // Puts a text on the clipboard; false when that failed.
    using ClipboardWriter = std::function<bool(const QString &text)>;

    // Result codes of a click. Opening reports only success or failure on this desktop, so
    // success counts as 33 (the first value above 32, also the code of a click whose OnExecute
    // handler opened the address itself) and failure as 31, "no application is associated with
    // the address".
    static constexpr int ResultDone = 33;
    static constexpr int ResultNotOpened = 31;
    // Longest full address passed to the desktop.
    static constexpr int MaxAddressLength = 1999;
    // Longest custom prefix.
    static constexpr int MaxCustomPrefixLength = 20;

    // Creating a link empties the shared custom prefix.
    explicit THyperLink(QWidget *parent = nullptr);
    ~THyperLink() override;

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);      // always stores and clears Visited
    QString Alias() const { return m_alias; }
    void setAlias(const QString &alias);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    TLinkType LinkType() const { return m_linkType; }
    void setLinkType(TLinkType type);             // a new type clears Visited
    QColor LinkColor() const { return m_linkColor; }
    void setLinkColor(const QColor &color);
    QColor VisitedColor() const { return m_visitedColor; }
    void setVisitedColor(const QColor &color);
    bool Visited() const { return m_visited; }
    void setVisited(bool visited);
    TAlign Align() const { return m_align; }
    void setAlign(TAlign align);
    // The fill colour used when not Transparent.
    QColor Color() const;
    void setColor(const QColor &color);
    // The hint given by the window's author; shown while the whole text fits, else the address.
    QString Hint() const { return m_designerHint; }
    void setHint(const QString &hint);
    bool ShowHint() const { return m_showHint; }
    void setShowHint(bool show);

    // The prefix of ltCustom links, shared by all of them; cut to MaxCustomPrefixLength.
    static QString CustomPrefix();
    static void setCustomPrefix(const QString &prefix);
    // The prefix of a link type.
    static QString prefix(TLinkType type);

    // The full address: prefix + Caption (a click opens at most MaxAddressLength characters of it).
    QString address() const;
    // The text shown: the alias, or prefix + Caption.
    QString displayText() const;
    // Width the text needs, and the height of one line, in the current font.
    int neededWidth() const;
    int lineHeight() const;

    QMenu *PopupMenu() const { return m_popup; }

    TBeforeExecuteEvent OnBeforeExecuted;
    TExecuteEvent OnExecute;
    TAfterExecuteEvent OnAfterExecuted;

    // What a left click, Enter or Space does.
    void click();
    // What the menu's "Copy Url to clipboard" does.
    void copyToClipboard();

    // Replace how addresses are opened and how the clipboard is written (an empty function
    // restores the desktop's); each returns the one it replaces.
    static Opener setOpener(Opener opener);
    static ClipboardWriter setClipboardWriter(ClipboardWriter writer);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    // After any change of what is shown: size to the text, update hint and accessible name,
    // repaint.
    void refresh();
    void applyAutoSize();
    void updateHint();
    QFont linkFont() const;

    QString m_caption;
    QString m_alias;
    bool m_autoSize = true;
    bool m_transparent = true;
    TLinkType m_linkType = TLinkType::ltEmail;
    QColor m_linkColor{0, 0, 255};
    QColor m_visitedColor{128, 0, 128};
    bool m_visited = false;
    TAlign m_align = TAlign::alNone;
    QString m_designerHint;
    bool m_showHint = true;
    bool m_polished = false;
    QMenu *m_popup;
};
