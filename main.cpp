// Starting the program loads and shows the main window; the run ends when
// the last window has closed (see endRun for how it ends on Wayland).

#include "ProgramWiring.h"
#include "WindowSystem.h"
#include "frmMain.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char *argv[])
{
    // Before the application object: Qt opens its window system in
    // QApplication's constructor and aborts there when it can open none.
    if (!setUpWindowSystem(argc, argv))
        return EXIT_FAILURE;
    QApplication app(argc, argv);
    // Where every key goes first, and what a screen reader is told.
    installProgramWiring();
    // Lets the desktop match the windows to the installed menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quillfern.Orvane"));
    showWindow<frmMain>();
    return endRun(app.exec());
}
