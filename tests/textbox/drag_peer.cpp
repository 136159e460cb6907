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
#include <utility>

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
        const QPoint middle = mapToGlobal(rect().center());
        if (!std::exchange(shown_, true))
            say(QStringLiteral("shown %1 %2").arg(middle.x()).arg(middle.y()));
    }
    void mousePressEvent(QMouseEvent *) override
    {
        if (acceptDrops())
            return;
        auto *drag = new QDrag(this);
        drag->setMimeData(new QMimeData);
        drag->mimeData()->setText(text_);
        say(QStringLiteral("dragging"));
        say(QStringLiteral("dropped %1").arg(drag->exec(Qt::CopyAction | Qt::MoveAction)));
    }
    void dragEnterEvent(QDragEnterEvent *event) override { take(event); }
    void dragMoveEvent(QDragMoveEvent *event) override { take(event, QStringLiteral("over")); }
    void dropEvent(QDropEvent *event) override
    {
        take(event, "took " + event->mimeData()->text().replace('\n', '|'));
    }

private:
    void take(QDropEvent *event, const QString &report = QString())
    {
        event->setDropAction(takes_);
        event->accept();
        if (!report.isNull())
            say(report);
    }

    QString text_;
    Qt::DropAction takes_;
    bool shown_ = false;
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList how = app.arguments().mid(1);
    if (how.size() != 2 || (how[0] != "give" && how[0] != "take")) {
        std::fprintf(stderr, "usage: drag_peer give TEXT | take copy|move\n");
        return 2;
    }
    const bool gives = how[0] == "give";
    DragPeer peer(gives ? how[1] : QString(),
                  gives ? Qt::IgnoreAction : how[1] == "copy" ? Qt::CopyAction : Qt::MoveAction);
    peer.show();
    return app.exec();
}
