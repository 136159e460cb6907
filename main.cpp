// Starting the program loads and shows the main window; the run ends when
// the last window has closed.

#include "ProgramWiring.h"
#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Where every key goes first, and what a screen reader is told.
    installProgramWiring();
    // Lets the desktop match the windows to the installed menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quillfern.Orvane"));
    showWindow<frmMain>();
    return app.exec();
}
