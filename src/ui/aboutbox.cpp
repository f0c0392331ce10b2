#include "aboutbox.h"

#include "appinfo.h"
#include "hyperlinklabel.h"
#include "modals.h"
#include "screen.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>

namespace AboutInfo {

QString technicalSupportText()
{
    return QStringLiteral("Problems with T.V.O.? Report me in: ") + MakerMail;
}

QString aboutMakerText()
{
    return QStringLiteral(" ") + MakerName + QStringLiteral(" - Home Page: ") + THyperLink::prefix(TLinkType::ltHttp)
        + MakerHomePage + QStringLiteral(" - E-Mail: ") + MakerMail;
}

QString aboutMameText()
{
    return QStringLiteral("M.A.M.E.: Multiple Arcade Machine Emulator - by ") + MameCreator
        + QStringLiteral(" and the MAME Team. Home Page: ") + MameHomePage;
}

} // namespace AboutInfo

namespace {

constexpr int ClientWidth = 558;
constexpr int ClientHeight = 258;
constexpr int LabelGap = 6;

// The white panel: a lowered outer edge around a raised inner one.
class BevelPanel : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        qDrawShadePanel(&p, rect(), palette(), true, 1);
        qDrawShadePanel(&p, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
    }
};

enum class Kind { Picture, Label, WrappedLabel, Link, Bevel };

struct ControlSpec {
    const char *name;
    Kind kind;
    QRect place;        // left, top, width, height inside Panel1
    QString text;       // a label's text, a link's caption or a picture's resource
    TLinkType linkType;
    QString accessibleName;
};

// Everything on the panel, back to front (the frame first, so the labels inside it lie above).
const ControlSpec controls[] = {
    {"Bevel1", Kind::Bevel, {350, 16, 164, 89}, {}, TLinkType::ltEmail, {}},
    {"ProgramIcon", Kind::Picture, {8, 8, 33, 33}, QStringLiteral(":/images/trelvo-icon.png"), TLinkType::ltEmail,
     QStringLiteral("MAME Trelvo icon")},
    {"ProductName", Kind::Label, {48, 10, 166, 33}, QStringLiteral("MAME Trelvo"), TLinkType::ltEmail, {}},
    {"Version", Kind::Label, {176, 40, 100, 13}, QStringLiteral("Version FINAL 1 (R4)"), TLinkType::ltEmail, {}},
    {"Label6", Kind::Label, {11, 65, 113, 13}, QStringLiteral("Check New versions at:"), TLinkType::ltEmail, {}},
    {"HyperLink8", Kind::Link, {140, 64, 189, 17}, AboutInfo::ProductHomePage, TLinkType::ltHttp, {}},
    {"Image1", Kind::Picture, {32, 101, 129, 49}, QStringLiteral(":/images/arcade-street.png"), TLinkType::ltEmail,
     QStringLiteral("Three arcade cabinets")},
    {"Image2", Kind::Picture, {192, 101, 113, 49}, QStringLiteral(":/images/control-panel.png"), TLinkType::ltEmail,
     QStringLiteral("An arcade control panel")},
    {"Label5", Kind::Label, {15, 178, 250, 13},
     QStringLiteral("Programmer: %1 (%2)").arg(AboutInfo::ProgrammerNickname, AboutInfo::ProgrammerFullName),
     TLinkType::ltEmail, {}},
    {"HyperLink7", Kind::Link, {273, 178, 175, 17}, AboutInfo::ProgrammerMail, TLinkType::ltEmail, {}},
    {"Comments", Kind::Label, {14, 198, 114, 13}, QStringLiteral("BY: Quarzel"), TLinkType::ltEmail, {}},
    {"HyperLink1", Kind::Link, {130, 197, 157, 17}, AboutInfo::MakerMail, TLinkType::ltEmail, {}},
    {"HyperLink2", Kind::Link, {289, 197, 175, 17}, AboutInfo::MakerHomePage, TLinkType::ltHttp, {}},
    {"Label1", Kind::Label, {374, 28, 112, 13}, QStringLiteral("SPECIAL THANKS TO:"), TLinkType::ltEmail, {}},
    {"Label2", Kind::WrappedLabel, {360, 49, 151, 39}, AboutInfo::Thanks, TLinkType::ltEmail, {}},
};

struct Relabel {
    const char *name;
    QString text;
};

// What the joke writes over the window's texts.
const Relabel jokeTexts[] = {
    {"ProductName", QStringLiteral("MAME é o Melhor!")},
    {"Version", QStringLiteral("Ovo de Páscoa")},
    {"Label6", QStringLiteral("A página mais legal do mundo:")},
    {"Label5", QStringLiteral("Programador: EU mesmo, Qual é o problema?")},
    {"Comments", QStringLiteral("Quarzel é a melhor!")},
    {"Label1", QStringLiteral("AGRADECIMENTOS:")},
    {"Label2", QStringLiteral("A TODOS os meus amigos e a galera da Emulação!")},
    {"OKButton", QStringLiteral(":-)")},
};

QRect controlPlace(const char *name)
{
    for (const ControlSpec &entry : controls)
        if (qstrcmp(entry.name, name) == 0)
            return entry.place;
    return {};
}

QFont windowFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                   QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

// Impact where the system has it; otherwise the nearest narrow heavy face.
QFont productNameFont()
{
    QFont f;
    if (QFontDatabase::hasFamily(QStringLiteral("Impact"))) {
        f.setFamily(QStringLiteral("Impact"));
    } else {
        f.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow"),
                       QStringLiteral("Arial Narrow"), QStringLiteral("DejaVu Sans Condensed")});
        f.setWeight(QFont::Bold);
        f.setStretch(QFont::Condensed);
    }
    f.setPixelSize(27);
    return f;
}

void setColour(QWidget *w, QPalette::ColorRole role, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

} // namespace

TAboutBox::TAboutBox()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFont(windowFont());
    setFixedSize(ClientWidth, ClientHeight);
    build();
}

void TAboutBox::build()
{
    Panel1 = new BevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 545, 217);
    setColour(Panel1, QPalette::Window, Qt::white);

    for (const ControlSpec &entry : controls) {
        QWidget *w = nullptr;
        switch (entry.kind) {
        case Kind::Picture: {
            auto *picture = new QLabel(Panel1);
            picture->setPixmap(QPixmap(entry.text));
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            w = picture;
            break;
        }
        case Kind::Label:
        case Kind::WrappedLabel: {
            auto *label = new QLabel(entry.text, Panel1);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(entry.kind == Kind::WrappedLabel);
            w = label;
            break;
        }
        case Kind::Link: {
            auto *link = new THyperLink(Panel1);
            link->setLinkType(entry.linkType);
            link->setCaption(entry.text);
            w = link;
            break;
        }
        case Kind::Bevel: {
            auto *frame = new QFrame(Panel1);
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            w = frame;
            break;
        }
        }
        w->setObjectName(QLatin1String(entry.name));
        w->setGeometry(entry.place);
        if (!entry.accessibleName.isEmpty())
            w->setAccessibleName(entry.accessibleName);
    }

    auto label = [this](const char *name) { return Panel1->findChild<QLabel *>(QLatin1String(name)); };
    auto link = [this](const char *name) { return Panel1->findChild<THyperLink *>(QLatin1String(name)); };
    ProgramIcon = label("ProgramIcon");
    ProductName = label("ProductName");
    Version = label("Version");
    Label6 = label("Label6");
    HyperLink8 = link("HyperLink8");
    Image1 = label("Image1");
    Image2 = label("Image2");
    Label5 = label("Label5");
    HyperLink7 = link("HyperLink7");
    Comments = label("Comments");
    HyperLink1 = link("HyperLink1");
    HyperLink2 = link("HyperLink2");
    Bevel1 = Panel1->findChild<QFrame *>(QStringLiteral("Bevel1"));
    Label1 = label("Label1");
    Label2 = label("Label2");

    ProgramIcon->setScaledContents(true);
    ProgramIcon->installEventFilter(this);
    ProductName->setFont(productNameFont());

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(477, 228, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });

    fitLabels();

    // Tab goes through the links in reading order, then to OK.
    setTabOrder(HyperLink8, HyperLink7);
    setTabOrder(HyperLink7, HyperLink1);
    setTabOrder(HyperLink1, HyperLink2);
    setTabOrder(HyperLink2, OKButton);
}

void TAboutBox::fitLabels()
{
    // A one-line label grows to show its whole text in whatever font the system gives it, but
    // keeps its place; the link after "Check New versions at:" moves along when that text grows.
    for (const ControlSpec &entry : controls) {
        if (entry.kind != Kind::Label)
            continue;
        QLabel *label = Panel1->findChild<QLabel *>(QLatin1String(entry.name));
        label->resize(entry.place.size().expandedTo(label->sizeHint()));
    }
    const int linkLeft = controlPlace("HyperLink8").left();
    HyperLink8->move(qMax(linkLeft, Label6->geometry().right() + 1 + LabelGap), HyperLink8->y());
}

void TAboutBox::OKButtonClick()
{
    accept();
}

void TAboutBox::reject()
{
    accept();
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
    OKButton->setFocus();
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ProgramIcon && event->type() == QEvent::MouseButtonDblClick) {
        ProgramIconDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString TAboutBox::jokeCaption()
{
    return QStringLiteral("Ovo de Páscoa");
}

QString TAboutBox::jokeText()
{
    return QStringLiteral("Droga vc me descobriu... como pode?..., tentei me esconder mais não consegui... "
                          "Clique ok pra ver a nova cara do TVO! Falow!!:-) E valew por utilizar TVO. ")
        + AboutInfo::ProgrammerNickname + QLatin1Char('.');
}

void TAboutBox::ProgramIconDblClick()
{
    Modals::current().exclamation(jokeCaption(), jokeText());

    for (const Relabel &r : jokeTexts) {
        QWidget *w = findChild<QWidget *>(QLatin1String(r.name));
        if (auto *label = qobject_cast<QLabel *>(w))
            label->setText(r.text);
        else if (auto *button = qobject_cast<QPushButton *>(w))
            button->setText(r.text);
    }

    fitLabels();

    emit jokeFound();
    // The main window may have come back on screen over this one.
    if (isVisible()) {
        raise();
        activateWindow();
    }
}
