// Every caption stays whole in its fixed box with the font the program really
// uses: check boxes, buttons and labels of a fixed size, in every window.

#include "frmAbout.h"
#include "frmErrors.h"
#include "frmMain.h"
#include "frmPreferences.h"
#include "frmRobotValues.h"
#include "frmTags.h"

#include <QtTest>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>

#include <functional>

Q_DECLARE_METATYPE(std::function<FormWindow *()>)

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
    const QRect client = window->findChild<QWidget *>()->rect();
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || label->wordWrap())
            continue;
        // A label as wide as its text must still end inside the window.
        const QRect inWindow(label->mapTo(window, QPoint(0, 0)), label->size());
        if (textWidth(label, label->text()) > label->contentsRect().width() ||
            !client.contains(inWindow))
            clipped << label->objectName();
    }
    return clipped;
}

}  // namespace

class TestCaptions : public QObject {
    Q_OBJECT

private slots:
    void dialogFontIsInstalled();
    void everyWindow_data();
    void everyWindow();
};

// If the font were missing, the font system would quietly substitute a wider one.
void TestCaptions::dialogFontIsInstalled()
{
    const QFontInfo real(dialogFont());
    QVERIFY2(real.family() == "MS Sans Serif" || real.family() == "Liberation Sans",
             qPrintable(real.family()));
    QCOMPARE(real.pointSizeF(), 8.25);
}

void TestCaptions::everyWindow_data()
{
    QTest::addColumn<std::function<FormWindow *()>>("make");
    QTest::newRow("frmMain") << std::function<FormWindow *()>([] { return new frmMain; });
    QTest::newRow("frmTags") << std::function<FormWindow *()>([] { return new frmTags; });
    QTest::newRow("frmErrors") << std::function<FormWindow *()>([] { return new frmErrors; });
    QTest::newRow("frmPreferences")
        << std::function<FormWindow *()>([] { return new frmPreferences; });
    QTest::newRow("frmRobotValues")
        << std::function<FormWindow *()>([] { return new frmRobotValues; });
    QTest::newRow("frmAbout") << std::function<FormWindow *()>([] { return new frmAbout; });
}

void TestCaptions::everyWindow()
{
    QFETCH(std::function<FormWindow *()>, make);
    std::unique_ptr<FormWindow> window(make());
    window->Form_Load();
    for (QWidget *control : window->findChildren<QWidget *>())
        if (!control->objectName().isEmpty())
            QVERIFY2(QFontInfo(control->font()).family() == QFontInfo(dialogFont()).family(),
                     qPrintable(control->objectName()));
    QCOMPARE(clippedCaptions(window.get()), QStringList());
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
