// Another program on the same display that text is dragged from or into,
// as a user drags an address out of a browser or a word into an editor:
//
//   drag_peer give TEXT        a press starts a drag of TEXT
//   drag_peer take copy|move   takes what is dropped, as a copy or a move
//
// Its window is put where it stays (the window manager neither frames nor
// moves it). It prints, a line each: "shown X Y", the middle of its window
// on the screen, once painted; giving, "dragging" as the drag starts and
// "dropped N" (the action the target took) as it ends; taking, "over" at
// each move of a drag over it and "took TEXT" (line ends as "|") at the
// drop. It stays until it is stopped: a target asks for the text only after
// the drop, and a program that has left has none to give.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

#include <cstdio>

namespace {

void say(const QString &what)
{
    std::printf("%s\n", qPrintable(what));
    std::fflush(stdout);
}

class DragPeer : public QWidget {
public:
    DragPeer(QString text, Qt::DropAction takes) : text_(std::move(text)), takes_(takes)
    {
        setWindowFlag(Qt::X11BypassWindowManagerHint);
        setGeometry(1000, 850, 120, 80);
        setAcceptDrops(takes != Qt::IgnoreAction);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (shown_)
            return;
        shown_ = true;
        const QPoint middle = mapToGlobal(rect().center());
        say(QStringLiteral("shown %1 %2").arg(middle.x()).arg(middle.y()));
    }
    void mousePressEvent(QMouseEvent *) override
    {
        if (takes_ != Qt::IgnoreAction)
            return;
        auto *drag = new QDrag(this);
        auto *mime = new QMimeData;
        mime->setText(text_);
        drag->setMimeData(mime);
        say(QStringLiteral("dragging"));
        say(QStringLiteral("dropped %1").arg(drag->exec(Qt::CopyAction | Qt::MoveAction)));
    }
    void dragEnterEvent(QDragEnterEvent *event) override { take(event); }
    void dragMoveEvent(QDragMoveEvent *event) override
    {
        take(event);
        say(QStringLiteral("over"));
    }
    void dropEvent(QDropEvent *event) override
    {
        take(event);
        say("took " + event->mimeData()->text().replace('\n', '|'));
    }

private:
    void take(QDropEvent *event)
    {
        event->setDropAction(takes_);
        event->accept();
    }

    QString text_;
    Qt::DropAction takes_;
    bool shown_ = false;
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString mode = argc > 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString what = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (mode != "give" && mode != "take") {
        std::fprintf(stderr, "usage: drag_peer give TEXT | take copy|move\n");
        return 2;
    }
    const Qt::DropAction takes = mode == "give" ? Qt::IgnoreAction
                                 : what == "copy" ? Qt::CopyAction
                                                  : Qt::MoveAction;
    DragPeer peer(mode == "give" ? what : QString(), takes);
    peer.show();
    return app.exec();
}
