// The six windows as drawn at each scale factor a high-DPI screen may use: every named
// control whole inside what holds it, its caption fitting in its real font, the line
// visible. Qt reads the scale factor only at start: a process for each factor.

#include "WindowFixture.h"

#include <cstdio>

namespace {

const char *const ScaleFactors[] = {"1", "1.25", "1.5", "2"};

// Where the frame's caption is drawn.
QRect frameCaption(const QGroupBox *frame)
{
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel;
    return frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
}

// Where the frame's top border is drawn: the first row not of the background, right of the caption.
int borderTop(QGroupBox *frame)
{
    const QImage image = frame->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const int x = image.width() - qCeil(10 * ratio);
    const QColor background = frame->palette().color(QPalette::Window);
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) != background)
            return int(y / ratio);
    return frame->height();
}

// Where a control may draw: the client area, or inside a frame's border and below its caption.
QRect room(QWidget *control)
{
    auto *frame = qobject_cast<QGroupBox *>(control->parentWidget());
    if (!frame)
        return control->parentWidget()->rect();
    const int top = std::max(borderTop(frame) + 2, frameCaption(frame).bottom() + 1);
    return QRect(QPoint(2, top), frame->rect().bottomRight() - QPoint(2, 2));
}

// What of the control is cut off or misplaced, or an empty text.
QString misfit(QWidget *control)
{
    const QStyle *style = control->style();
    const QFontMetrics metrics = control->fontMetrics();
    const QString caption =
        control->property("text").toString().remove(QRegularExpression("&(?!&)"));
    const auto fits = [&](const QRect &r) {
        return r.width() >= metrics.horizontalAdvance(caption) && r.height() >= metrics.height();
    };
    const int frameWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control);
    const QRect inner = control->rect().adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth);
    if (!room(control).contains(control->geometry()))
        return "outside its window or frame";
    if (QFontInfo(control->font()).family() != QFontInfo(dialogFont()).family())
        return "font";
    if (const auto *box = qobject_cast<const QCheckBox *>(control)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect indicator = style->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        const QRect text = style->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        if (!box->rect().contains(indicator))
            return "indicator cut off";
        if (!box->rect().contains(text) || !fits(text))
            return "caption cut off";
    } else if (qobject_cast<const QPushButton *>(control)) {
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control);
        if (!fits(inner.adjusted(margin, 0, -margin, 0)))
            return "caption cut off";
    } else if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->wordWrap() ? label->heightForWidth(label->width()) > label->height()
                              : !fits(label->contentsRect()))
            return "caption cut off";
    } else if (qobject_cast<const OneLineTextBox *>(control) ||
               qobject_cast<const ComboTextBox *>(control)) {
        if (!fits(inner))
            return "text cut off";
    } else if (auto *frame = qobject_cast<QGroupBox *>(control)) {
        const QRect title = frameCaption(frame);
        const int border = borderTop(frame);
        if (!frame->rect().contains(title) || !fits(title))
            return "caption cut off";
        if (border <= title.top() || border >= title.bottom() || title.left() <= 0)
            return "caption not on the border";
    }
    return QString();
}

// A row of the line's pixels, all in the text colour, across its length.
bool drawn(const QWidget *line)
{
    const QImage image =
        line->parentWidget()->grab(line->geometry().adjusted(0, -2, 0, 2)).toImage();
    const QColor ink = line->palette().color(QPalette::WindowText);
    for (int y = 0; y < image.height(); ++y) {
        int x = 0;
        while (x < image.width() && image.pixelColor(x, y) == ink)
            ++x;
        if (x == image.width())
            return true;
    }
    return false;
}

}  // namespace

class TestLayout : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { WindowFixture().finish(); }
    void drawnWhole_data() { windowRows(); }

    void drawnWhole()
    {
        QFETCH(int, window);
        FormWindow *w = Windows[window].show();
        QVERIFY(w && QTest::qWaitForWindowExposed(w, WaitLimit));
        QStringList found;
        const auto *client = w->findChild<QWidget *>();
        QVERIFY(client);
        for (QWidget *control : client->findChildren<QWidget *>(QRegularExpression("^(?!qt_).")))
            if (const QString why = misfit(control); !why.isEmpty())
                found << control->objectName() + ": " + why;
        QVERIFY2(found.isEmpty(), qPrintable(found.join(", ")));
        // The main window's line, above its buttons; no other window has one.
        const QWidget *line = w->findChild<QWidget *>("Line1");
        QCOMPARE(line && drawn(line), w->objectName() == "frmMain");
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        QApplication app(argc, argv);
        installProgramWiring();
        TestLayout test;
        return QTest::qExec(&test, argc, argv);
    }
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (const char *factor : ScaleFactors) {
        std::printf("At scale factor %s:\n", factor);
        std::fflush(stdout);
        qputenv("QT_SCALE_FACTOR", factor);
        QProcess child;  // one that hangs is killed as it goes
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), app.arguments().mid(1));
        failed += !child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit ||
                  child.exitCode() != 0;
    }
    return failed;
}

#include "tst_layout.moc"
