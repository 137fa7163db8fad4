#pragma once
// Where the program's own files lie (its help, start page, pictures and the demo content).
// In a build folder they sit beside the program file. An installed program lives in
// <prefix>/bin and its files in <prefix>/share/readhall, which is found from the program's own
// place, so an installation can be moved as a whole and needs no environment variable.

#include <QDir>
#include <QFileInfo>
#include <QString>

namespace vantrel
{

// The installed files, relative to the folder of the program file.
inline constexpr char INSTALLED_PROGRAM_FILES[] = "../share/readhall";

// The folder of the program's files for a program file in `programDirectory`: the installed
// folder when it exists, else the program's own folder. Empty for an empty argument.
inline QString programFilesDirectory(const QString& programDirectory)
{
    if (programDirectory.isEmpty())
        return QString();
    const QString installed = QDir::cleanPath(programDirectory + QLatin1Char('/') +
                                              QLatin1String(INSTALLED_PROGRAM_FILES));
    if (QFileInfo(installed).isDir())
        return installed;
    return QDir::cleanPath(programDirectory);
}

} // namespace vantrel
