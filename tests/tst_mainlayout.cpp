// The main window as the user first sees it: where every control stands, the
// walk of the Tab key, the menus, and the names a screen reader announces.

#include "MainWindowFixture.h"

#include <QAccessible>
#include <QMenu>
#include <QMenuBar>

namespace {

struct Placed {
    const char *name;
    int left, top, width, height;  // twips
};

// The main window's controls in twips, as they must stand.
const Placed Expected[] = {
    {"chkTitle", 120, 120, 1095, 255},          {"txtTitle", 1320, 120, 4215, 285},
    {"chkKeywords", 120, 480, 1095, 255},       {"txtKeywords", 1320, 480, 4215, 285},
    {"chkDescription", 120, 840, 1215, 255},    {"txtDescription", 1320, 840, 4215, 525},
    {"chkCopyright", 120, 1440, 1215, 255},     {"txtCopyright", 1320, 1440, 4215, 285},
    {"chkRevisitAfter", 120, 1800, 1215, 255},  {"txtRevisitAfter", 1320, 1800, 3015, 285},
    {"chkCreator", 120, 2160, 1095, 255},       {"txtCreator", 1320, 2160, 4215, 285},
    {"chkEmail", 120, 2520, 1215, 255},         {"txtEmail", 1320, 2520, 4215, 285},
    {"chkRefresh", 120, 2880, 1215, 255},       {"txtRefreshURL", 1800, 2880, 2160, 285},
    {"txtRefreshSeconds", 4560, 2880, 430, 285}, {"chkRobot", 120, 3240, 1215, 255},
    {"cboRobot", 1320, 3240, 3135, 315},        {"cmdRobotValues", 4560, 3240, 975, 315},
    {"chkPublisher", 120, 3600, 1095, 255},     {"txtPublisher", 1320, 3600, 4215, 285},
    {"chkContributors", 120, 3960, 1215, 255},  {"txtContributors", 1320, 3960, 4215, 285},
    {"chkDCTitle", 120, 4320, 3255, 255},       {"chkDCDescription", 120, 4680, 3375, 255},
    {"cmdGenerateTags", 120, 5160, 1695, 375},  {"chkIncludeHTML", 1920, 5240, 2895, 255},
    {"lblRevisitAfterExample", 4440, 1845, 1050, 195},
};

int px(int twips)
{
    return qRound(twips / 15.0);
}

}  // namespace

class TestMainLayout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsStandWhereTheyBelong();
    void refreshRowReadsLeftToRight();
    void clientSizeIsFixed();
    void tabWalksRowByRow();
    void menuTree();
    void captionsAndStartState();
    void fieldsHaveAccessibleNames();

private:
    MainWindowFixture f;
};

void TestMainLayout::init()
{
    f.useNewConfig();
    QVERIFY(f.open());
}

void TestMainLayout::cleanup()
{
    f.discard();
}

void TestMainLayout::controlsStandWhereTheyBelong()
{
    for (const Placed &p : Expected) {
        QWidget *control = f.get<QWidget>(p.name);
        QVERIFY2(control, p.name);
        QCOMPARE(control->geometry(), QRect(px(p.left), px(p.top), px(p.width), px(p.height)));
    }
    auto *line = f.get<QFrame>("Line1");
    QVERIFY(line);
    QCOMPARE(line->geometry().topLeft(), QPoint(8, 336));
    QCOMPARE(line->geometry().right(), 367);
}

// The labels are as wide as their texts, 45 twips (3 px) below the fields.
void TestMainLayout::refreshRowReadsLeftToRight()
{
    const char *row[] = {"chkRefresh", "lblGoTo", "txtRefreshURL", "lblAfter",
                         "txtRefreshSeconds", "lblSeconds"};
    int right = 0;
    for (const char *name : row) {
        QWidget *control = f.get<QWidget>(name);
        QVERIFY2(control->x() >= right, name);
        right = control->geometry().right();
    }
    QCOMPARE(f.get<QWidget>("lblGoTo")->pos(), QPoint(88, 195));
    QCOMPARE(f.get<QWidget>("lblAfter")->pos(), QPoint(272, 195));
    QCOMPARE(f.get<QWidget>("lblSeconds")->pos(), QPoint(344, 195));
    QVERIFY(f.get<QWidget>("lblSeconds")->geometry().right() < 377);
}

void TestMainLayout::clientSizeIsFixed()
{
    QWidget *client = f.get<QWidget>("chkTitle")->parentWidget();
    QCOMPARE(client->size(), QSize(377, 374));
    const int menuHeight = f.window->findChild<QMenuBar *>()->sizeHint().height();
    QCOMPARE(f.window->size(), QSize(377, 374 + menuHeight));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QVERIFY(!(f.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(f.window->windowFlags() & Qt::WindowMinimizeButtonHint));
}

void TestMainLayout::tabWalksRowByRow()
{
    const QStringList expected = {
        "chkTitle",        "txtTitle",          "chkKeywords",     "txtKeywords",
        "chkDescription",  "txtDescription",    "chkCopyright",    "txtCopyright",
        "chkRevisitAfter", "txtRevisitAfter",   "chkCreator",      "txtCreator",
        "chkEmail",        "txtEmail",          "chkRefresh",      "txtRefreshURL",
        "txtRefreshSeconds", "chkRobot",        "cboRobot",        "cmdRobotValues",
        "chkPublisher",    "txtPublisher",      "chkContributors", "txtContributors",
        "chkDCTitle",      "chkDCDescription",  "cmdGenerateTags", "chkIncludeHTML",
        "chkTitle"};
    QTRY_COMPARE(QApplication::focusWidget(), f.get<QWidget>("chkTitle"));
    QStringList walked{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < expected.size(); ++i) {
        f.key(Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walked, expected);
    QCOMPARE(f.get<QPlainTextEdit>("txtDescription")->toPlainText(), QString());
}

void TestMainLayout::menuTree()
{
    QStringList tree;
    for (QAction *menuAction : f.window->findChild<QMenuBar *>()->actions()) {
        QMenu *menu = menuAction->menu();
        tree << menu->objectName() + ":" + menuAction->text();
        for (QAction *item : menu->actions())
            tree << "  " + item->objectName() + ":" + item->text() + ":" +
                        item->shortcut().toString();
    }
    QCOMPARE(tree, (QStringList{"mnuFile:&File",
                                "  mnuPreferences:&Preferences:Ctrl+P",
                                "  mnuExit:E&xit:Ctrl+Q",
                                "mnuForm:F&orm",
                                "  mnuFillInExamples:Fill in Examples:",
                                "  mnuReset:Reset to Specified Defaults:",
                                "  mnuClearAll:Clear All:",
                                "mnuHelp:&Help",
                                "  mnuAbout:&About:Ctrl+A"}));
}

void TestMainLayout::captionsAndStartState()
{
    QCOMPARE(f.window->windowTitle(), QString("Orvane"));
    QVERIFY(!f.window->windowIcon().isNull());
    QCOMPARE(f.window->windowIcon().availableSizes().value(0), QSize(32, 32));
    QCOMPARE(f.get<QPushButton>("cmdGenerateTags")->text(), QString("&Generate Tags"));
    QCOMPARE(f.get<QPushButton>("cmdRobotValues")->text(), QString("&Values?"));
    QCOMPARE(f.get<QLabel>("lblRevisitAfterExample")->text(), QString("(i.e. 30 Days)"));
    QCOMPARE(f.box("chkDCDescription")->text(), QString("DC.Description (Same as Description)"));
    auto *robot = f.get<QComboBox>("cboRobot");
    QVERIFY(robot->isEditable());
    QCOMPARE(robot->currentIndex(), -1);
    QCOMPARE(robot->currentText(), QString());
    QStringList entries;
    for (int i = 0; i < robot->count(); ++i)
        entries << robot->itemText(i);
    QCOMPARE(entries, (QStringList{"ALL", "NOINDEX", "NOFOLLOW", "NONE"}));
}

void TestMainLayout::fieldsHaveAccessibleNames()
{
    const std::pair<const char *, const char *> names[] = {
        {"txtTitle", "Title"},
        {"txtKeywords", "Keywords"},
        {"txtDescription", "Description"},
        {"txtCopyright", "Copyright"},
        {"txtRevisitAfter", "Revisit After"},
        {"txtCreator", "Creator"},
        {"txtEmail", "Email"},
        {"txtRefreshURL", "Refresh address"},
        {"txtRefreshSeconds", "Refresh seconds"},
        {"cboRobot", "Robot"},
        {"txtPublisher", "Publisher"},
        {"txtContributors", "Contributors"},
    };
    for (const auto &[field, name] : names) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(f.get<QWidget>(field));
        QVERIFY2(accessible, field);
        QCOMPARE(accessible->text(QAccessible::Name), QString(name));
    }
}

QTEST_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
