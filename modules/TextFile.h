#pragma once
// Saving a text to a file the user chose.

#include <QByteArray>
#include <QString>

// Writes exactly the bytes to the file, created or emptied, and tells whether
// all of them arrived. A regular file is replaced whole or not at all, except
// in a folder where no new file may be made: there the file is written in
// place. A device is written into. A named pipe is written only if a reader
// already has it open, and fails if that reader has not taken the whole text
// within two seconds: the save never waits longer for another program.
bool SaveTextFile(const QString &fileName, const QByteArray &bytes);
