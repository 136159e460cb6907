#include "ProgramWiring.h"

#include "FormWindow.h"
#include "KeyRouter.h"
#include "TextBoxAccessibility.h"

#include <QAccessibleWidget>
#include <QApplication>

namespace {

// A screen reader announces each window as a window (a tool window as a
// dialog) named by its caption; a plain widget would be a nameless filler.
QAccessibleInterface *accessibleWindow(const QString &, QObject *object)
{
    auto *window = qobject_cast<FormWindow *>(object);
    if (!window || !window->isWindow())
        return nullptr;
    const bool tool = window->windowType() == Qt::Tool;
    return new QAccessibleWidget(window, tool ? QAccessible::Dialog : QAccessible::Window);
}

}  // namespace

void installProgramWiring()
{
    // Once per application, however often a test asks.
    static QObject *installedOn = nullptr;
    if (installedOn == qApp)
        return;
    installedOn = qApp;
    qApp->installEventFilter(new KeyRouter(qApp));
    QAccessible::installFactory(accessibleWindow);
    installTextBoxAccessibility();
}
