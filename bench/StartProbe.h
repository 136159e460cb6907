#pragma once
// What the start figures measure, on Linux and on Windows alike: from the
// process's start to the first paint of the program's main window, or of the
// bare Qt window it is compared with.

#include "Baseline.h"
#include "ProgramWiring.h"
#include "frmMain.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QString>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>


// Calls back once, at the first paint of any widget of the named window.
class FirstPaint : public QObject {
public:
    FirstPaint(QString windowName, std::function<void()> onPaint)
        : windowName_(std::move(windowName)), onPaint_(std::move(onPaint))
    {
        qApp->installEventFilter(this);
    }
    bool seen() const { return seen_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window()->objectName() == windowName_) {
            seen_ = true;
            onPaint_();
        }
        return false;
    }

private:
    QString windowName_;
    std::function<void()> onPaint_;
    bool seen_ = false;
};

// Shows the main window as main.cpp does (its wiring installed), or the bare
// Qt window; at its first paint calls `report` and ends the process at once:
// only the way up is measured, not the teardown.
inline int runUntilFirstPaint(QApplication &app, bool main, std::function<void()> report)
{
    if (main)
        installProgramWiring();
    FirstPaint painted(main ? QStringLiteral("frmMain") : QStringLiteral("Baseline"), [report] {
        report();
        std::fflush(stdout);
        std::_Exit(0);
    });
    if (main) {
        showWindow<frmMain>();
    } else {
        QWidget *baseline = makeBaselineWindow();
        baseline->setObjectName(QStringLiteral("Baseline"));
        baseline->show();
    }
    return app.exec();
}
