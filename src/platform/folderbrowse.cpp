#include "folderbrowse.h"

#include "fileio.h"
#include "modals.h"

bool TFolderBrowse::Execute(QWidget *owner)
{
    const std::optional<QByteArray> chosen = Modals::current().folder(Title, Directory, owner);
    if (!chosen || !FileIO::isDirectory(*chosen))
        return false;
    Directory = *chosen;
    return true;
}
