#pragma once
// Calls back once, at the first paint of any widget of the named window: the
// moment the start figures stop the clock.

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>


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
