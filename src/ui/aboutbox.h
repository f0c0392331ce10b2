// The about window: product name and version, credits, and links to the maker's and the
// product's pages and mailboxes. Made once at start-up and reused, so what changes in it stays.
#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class THyperLink;

// Who made the program and where to find them; the about window and the Help menu read these.
namespace AboutInfo {
inline const QString MakerName = QStringLiteral("Quarzel");
inline const QString MakerMail = QStringLiteral("quarzel@example.org");            // without "mailto:"
inline const QString MakerHomePage = QStringLiteral("www.example.org/quarzel");    // without "http://"
inline const QString ProductHomePage = QStringLiteral("www.example.com/trelvo");   // without "http://"
inline const QString ProgrammerNickname = QStringLiteral("Relvinho");
inline const QString ProgrammerFullName = QStringLiteral("Tomás Relvas Quintino");
inline const QString ProgrammerMail = QStringLiteral("relvinho@example.net");      // without "mailto:"
inline const QString Thanks = QStringLiteral("Beto, Lia, Dudu and the Fliperama Livre forum");
inline const QString MameCreator = QStringLiteral("Nicola Salmoria");
inline const QString MameHomePage = QStringLiteral("https://www.mamedev.org/");

// The Help menu's messages.
QString technicalSupportText();
QString aboutMakerText();
QString aboutMameText();
} // namespace AboutInfo

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    TAboutBox();

    QFrame *Panel1;
    QLabel *ProgramIcon;
    QLabel *ProductName;
    QLabel *Version;
    QLabel *Label6;
    THyperLink *HyperLink8;
    QLabel *Image1;
    QLabel *Image2;
    QLabel *Label5;
    THyperLink *HyperLink7;
    QLabel *Comments;
    THyperLink *HyperLink1;
    THyperLink *HyperLink2;
    QFrame *Bevel1;
    QLabel *Label1;
    QLabel *Label2;
    QPushButton *OKButton;

    void OKButtonClick();
    // The hidden joke: re-labels this window for good, and says so (jokeFound) for the main
    // window to take its own joke look.
    void ProgramIconDblClick();

    // The texts of the joke's box.
    static QString jokeCaption();
    static QString jokeText();

    // Closing by the frame (or Esc) is the same as OK.
    void reject() override;

signals:
    void jokeFound();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void build();
    void fitLabels();
};
