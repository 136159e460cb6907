// Another program to drag text from, as a user drags an address out of a
// browser: a small window that starts a drag of the text it was given when
// pressed. It prints "shown X Y" (the middle of its window on the screen)
// once shown, "dragging" as the drag starts, and "dropped N" (the action the target took) when the drag
// ends, then stays until it is stopped: the target asks for the text only
// after the drop, and a source that has left has none to give.
//
//   drag_source TEXT

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

#include <cstdio>

class DragSource : public QWidget {
public:
    explicit DragSource(QString text) : text_(std::move(text))
    {
        setWindowFlag(Qt::X11BypassWindowManagerHint);
        setGeometry(1000, 850, 120, 80);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *drag = new QDrag(this);
        auto *mime = new QMimeData;
        mime->setText(text_);
        drag->setMimeData(mime);
        std::printf("dragging\n");
        std::fflush(stdout);
        const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::MoveAction);
        std::printf("dropped %d\n", int(done));
        std::fflush(stdout);
    }
    // First painted, it is on the screen, where it was put: the window
    // manager neither frames nor moves it.
    void paintEvent(QPaintEvent *) override
    {
        if (shown_)
            return;
        shown_ = true;
        const QPoint middle = mapToGlobal(rect().center());
        std::printf("shown %d %d\n", middle.x(), middle.y());
        std::fflush(stdout);
    }

private:
    QString text_;
    bool shown_ = false;
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    DragSource source(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    source.show();
    return app.exec();
}
