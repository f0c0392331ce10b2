// Editing the selected configuration in the editor window.
#include "mainwindow.h"

#include "configeditor.h"
#include "config.h"
#include "fileio.h"
#include "filelistbox.h"
#include "pathrules.h"

void TForm1::ImportConfiguration1Click()
{
    editmode = true;
    const QByteArray path = lista->fileName();
    editfile = PathRules::namePart(path);
    if (path.isEmpty() || !readSelectedAgain())
        return;
    // The editor reads the held lines, not the file; a configuration without a line 52 stops
    // here with the index error, before any window is made.
    Config::oldLayoutCheck(dados, configurationDirectory());
    {
        TForm2 editor({configurationDirectory(), editfile, launcher()}, this);
        Refresh1Click();
        editor.load(dados.lines());
        editor.exec();
    }
    Refresh1Click();
}
