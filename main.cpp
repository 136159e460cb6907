// Starting the program loads and shows the main window; the run ends when
// the last window has closed.

#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    showWindow<frmMain>();
    return app.exec();
}
