// Every caption stays whole in its fixed box with the font the program really
// uses: check boxes, buttons and labels of a fixed size, in every window.

#include "frmMain.h"

#include <QtTest>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>

namespace {

QString withoutAccessKey(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

int textWidth(const QWidget *control, const QString &text)
{
    return control->fontMetrics().horizontalAdvance(withoutAccessKey(text));
}

// The room the style leaves for a check box's caption, beside the indicator.
int captionRoom(QCheckBox *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
}

int captionRoom(QPushButton *button)
{
    return button->width() - 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin);
}

QStringList clippedCaptions(const QWidget *window)
{
    QStringList clipped;
    for (QCheckBox *box : window->findChildren<QCheckBox *>())
        if (textWidth(box, box->text()) > captionRoom(box))
            clipped << box->objectName();
    for (QPushButton *button : window->findChildren<QPushButton *>())
        if (textWidth(button, button->text()) > captionRoom(button))
            clipped << button->objectName();
    for (QLabel *label : window->findChildren<QLabel *>())
        if (!label->wordWrap() && textWidth(label, label->text()) > label->contentsRect().width())
            clipped << label->objectName();
    return clipped;
}

}  // namespace

class TestCaptions : public QObject {
    Q_OBJECT

private slots:
    void dialogFontIsInstalled();
    void mainWindow();
};

// If the font were missing, the font system would quietly substitute a wider one.
void TestCaptions::dialogFontIsInstalled()
{
    const QFontInfo real(dialogFont());
    QVERIFY2(real.family() == "MS Sans Serif" || real.family() == "Liberation Sans",
             qPrintable(real.family()));
    QCOMPARE(real.pointSizeF(), 8.25);
}

void TestCaptions::mainWindow()
{
    frmMain window;
    QCOMPARE(QFontInfo(window.control<QCheckBox>("chkTitle")->font()).family(),
             QFontInfo(dialogFont()).family());
    QCOMPARE(clippedCaptions(&window), QStringList());
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
