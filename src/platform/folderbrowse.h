// The folder chooser: a modal dialog that preselects the folder it was last given and returns
// the folder the user chose.
#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

class TFolderBrowse {
public:
    QByteArray Directory; // in: the folder to preselect (none when empty); out: the folder chosen
    QString Title;        // the text shown by the dialog

    // Shows the chooser over `owner`; true with the chosen folder in Directory when the user
    // confirmed an existing directory; false, Directory unchanged, when cancelled.
    bool Execute(QWidget *owner = nullptr);
};
