#pragma once
// The association of run archives (".imrs") with the program, kept as the five keys and
// values of the desktop's file classes in "<machine folder>/fileassociation.ini". Nothing is
// written into the desktop's own settings.
#include <QString>

namespace Platform {

QString fileAssociationPath();

// The icon file's path for a program path: the parent of the program's folder, "/install.ico".
QString associationIconPath(const QString &programPath);

// Writes the five values on every start, whether or not they are there already.
void registerFileAssociation(const QString &programPath);

} // namespace Platform
