#include "frmMain.h"

#include "ComboTextBox.h"
#include "ProcessTags.h"
#include "Prompts.h"
#include "Registry.h"
#include "frmAbout.h"
#include "frmPreferences.h"
#include "frmRobotValues.h"
#include "frmTags.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QIcon>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <limits>

namespace {

// clang-format off
const WindowSpec Layout{"frmMain", "Orvane", 5655, 5610, FrameStyle::FixedSingle, {
    {"chkTitle", ControlKind::CheckBox, "Title", 120, 120, 1095, 255},
    {"txtTitle", ControlKind::TextBox, nullptr, 1320, 120, 4215, 285, NoFlags, nullptr, "Title"},
    {"chkKeywords", ControlKind::CheckBox, "Keywords", 120, 480, 1095, 255},
    {"txtKeywords", ControlKind::TextBox, nullptr, 1320, 480, 4215, 285, NoFlags, nullptr, "Keywords"},
    {"chkDescription", ControlKind::CheckBox, "Description", 120, 840, 1215, 255},
    {"txtDescription", ControlKind::MultiLineTextBox, nullptr, 1320, 840, 4215, 525, NoFlags, nullptr, "Description"},
    {"chkCopyright", ControlKind::CheckBox, "Copyright", 120, 1440, 1215, 255},
    {"txtCopyright", ControlKind::TextBox, nullptr, 1320, 1440, 4215, 285, NoFlags, nullptr, "Copyright"},
    {"chkRevisitAfter", ControlKind::CheckBox, "Revisit After", 120, 1800, 1215, 255},
    {"txtRevisitAfter", ControlKind::TextBox, nullptr, 1320, 1800, 3015, 285, NoFlags, nullptr, "Revisit After"},
    {"chkCreator", ControlKind::CheckBox, "Creator", 120, 2160, 1095, 255},
    {"txtCreator", ControlKind::TextBox, nullptr, 1320, 2160, 4215, 285, NoFlags, nullptr, "Creator"},
    {"chkEmail", ControlKind::CheckBox, "Email", 120, 2520, 1215, 255},
    {"txtEmail", ControlKind::TextBox, nullptr, 1320, 2520, 4215, 285, NoFlags, nullptr, "Email"},
    {"chkRefresh", ControlKind::CheckBox, "Refresh", 120, 2880, 1215, 255},
    {"txtRefreshURL", ControlKind::TextBox, nullptr, 1800, 2880, 2160, 285, NoFlags, nullptr, "Refresh address"},
    {"txtRefreshSeconds", ControlKind::TextBox, nullptr, 4560, 2880, 430, 285, NoFlags, nullptr, "Refresh seconds"},
    {"chkRobot", ControlKind::CheckBox, "Robot", 120, 3240, 1215, 255},
    {"cboRobot", ControlKind::ComboBox, nullptr, 1320, 3240, 3135, 315, NoFlags, nullptr, "Robot"},
    {"cmdRobotValues", ControlKind::Button, "&Values?", 4560, 3240, 975, 315},
    {"chkPublisher", ControlKind::CheckBox, "Publisher", 120, 3600, 1095, 255},
    {"txtPublisher", ControlKind::TextBox, nullptr, 1320, 3600, 4215, 285, NoFlags, nullptr, "Publisher"},
    {"chkContributors", ControlKind::CheckBox, "Contributors", 120, 3960, 1215, 255},
    {"txtContributors", ControlKind::TextBox, nullptr, 1320, 3960, 4215, 285, NoFlags, nullptr, "Contributors"},
    {"chkDCTitle", ControlKind::CheckBox, "DC.Title (Same as Title)", 120, 4320, 3255, 255},
    {"chkDCDescription", ControlKind::CheckBox, "DC.Description (Same as Description)", 120, 4680, 3375, 255},
    {"cmdGenerateTags", ControlKind::Button, "&Generate Tags", 120, 5160, 1695, 375, DefaultButton},
    {"chkIncludeHTML", ControlKind::CheckBox, "Include Leading and Trailing HTML", 1920, 5240, 2895, 255, StartsTicked},
    {"lblRevisitAfterExample", ControlKind::Label, "(i.e. 30 Days)", 4440, 1845, 1050, 195, AlignCenter},
    {"lblSeconds", ControlKind::Label, "sec.", 5160, 2925, 300, 195, SizedToText},
    {"lblAfter", ControlKind::Label, "after", 4080, 2925, 315, 195, SizedToText},
    {"lblGoTo", ControlKind::Label, "Go to", 1320, 2925, 390, 195, SizedToText},
    {"Line1", ControlKind::Line, nullptr, 120, 5040, 5400, 0},
}};

struct MenuItemSpec {
    const char *menuName;
    const char *menuCaption;
    const char *name;
    const char *caption;
    const char *shortcut;
    void (frmMain::*handler)();
};
// clang-format on

// Which check box each field's text ticks or unticks.
const std::pair<const char *, const char *> TickRules[] = {
    {"txtTitle", "chkTitle"},
    {"txtKeywords", "chkKeywords"},
    {"txtDescription", "chkDescription"},
    {"txtCopyright", "chkCopyright"},
    {"txtRevisitAfter", "chkRevisitAfter"},
    {"txtCreator", "chkCreator"},
    {"txtEmail", "chkEmail"},
    {"txtRefreshURL", "chkRefresh"},
    {"txtRefreshSeconds", "chkRefresh"},
    {"txtPublisher", "chkPublisher"},
    {"txtContributors", "chkContributors"},
    {"cboRobot", "chkRobot"},
};

// The sample values, in the order they are set.
const std::pair<const char *, const char *> Examples[] = {
    {"txtContributors", "Hobart Lume, Cassia Drew"},
    {"txtCopyright", "Copyright 2026 Quillfern Web Design"},
    {"txtCreator", "Arlo Venning"},
    {"txtDescription", "A short description of this page.  It should be no more than 200 words.  "
                       "If it is more, some search engines will only include the first 200."},
    {"txtEmail", "arlo.venning@example.com"},
    {"txtKeywords", "a, list, of, keywords, separated, by, commas"},
    {"txtPublisher", "Quillfern Web Design"},
    {"txtRefreshSeconds", "12"},
    {"txtRefreshURL", "https://www.example.com"},
    {"txtRevisitAfter", "2 Weeks"},
    {"txtTitle", "Page Title"},
    {"cboRobot", "NONE"},
};

const char *const RobotValues[] = {"ALL", "NOINDEX", "NOFOLLOW", "NONE"};

const char *const StartupPosition = "StartupPosition";

// The stored coordinate in twips as pixels. No value, a text that is not a
// number, and a number too large to be a screen coordinate all give 0.
int storedCoordinate(const char *valueName)
{
    const auto text = Registry::GetRegValue(
        Registry::CurrentUser, ProcessTags::SettingsKeyPath(StartupPosition), valueName);
    if (!text)
        return 0;
    bool ok = false;
    const float twips = QString::fromStdString(*text).toFloat(&ok);
    if (!ok || !std::isfinite(twips) ||
        std::fabs(twips) > float(std::numeric_limits<int>::max() / 2))
        return 0;
    return Twips::toPixels(int(std::lround(twips)));
}

void storeCoordinate(const char *valueName, int pixels)
{
    Registry::SetRegValue(Registry::CurrentUser, ProcessTags::SettingsKeyPath(StartupPosition),
                          valueName, std::to_string(Twips::fromPixels(pixels)));
}

// Every size of the program icon compiled in, each drawn for its size.
QIcon programIcon()
{
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString &name : icons.entryList({QStringLiteral("orvane-*.png")}, QDir::Files))
        icon.addFile(icons.filePath(name));
    return icon;
}

}  // namespace

frmMain::frmMain() : FormWindow(Layout)
{
    buildMenus();
    connectTickRules();
    onClick("cmdGenerateTags", &frmMain::cmdGenerateTags_Click);
    onClick("cmdRobotValues", &frmMain::cmdRobotValues_Click);
}

void frmMain::buildMenus()
{
    // clang-format off
    const MenuItemSpec items[] = {
        {"mnuFile", "&File", "mnuPreferences", "&Preferences", "Ctrl+P", &frmMain::mnuPreferences_Click},
        {"mnuFile", "&File", "mnuExit", "E&xit", "Ctrl+Q", &frmMain::mnuExit_Click},
        {"mnuForm", "F&orm", "mnuFillInExamples", "Fill in Examples", nullptr, &frmMain::mnuFillInExamples_Click},
        {"mnuForm", "F&orm", "mnuReset", "Reset to Specified Defaults", nullptr, &frmMain::mnuReset_Click},
        {"mnuForm", "F&orm", "mnuClearAll", "Clear All", nullptr, &frmMain::mnuClearAll_Click},
        {"mnuHelp", "&Help", "mnuAbout", "&About", "Ctrl+A", &frmMain::mnuAbout_Click},
    };
    // clang-format on
    QMenuBar *bar = addMenuBar();
    QMenu *menu = nullptr;
    for (const MenuItemSpec &item : items) {
        if (!menu || menu->objectName() != QLatin1String(item.menuName)) {
            menu = bar->addMenu(QString::fromUtf8(item.menuCaption));
            menu->setObjectName(QLatin1String(item.menuName));
            menu->setFont(dialogFont());  // a popup does not inherit the window's font
        }
        QAction *action = menu->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QLatin1String(item.name));
        if (item.shortcut)
            action->setShortcut(QKeySequence(QLatin1String(item.shortcut)));
        connect(action, &QAction::triggered, this, item.handler);
    }
}

// After every change of a field's text, however it came, its check box is
// ticked when the text is not empty and unticked when it is.
void frmMain::connectTickRules()
{
    for (const auto &[fieldName, boxName] : TickRules) {
        QCheckBox *box = control<QCheckBox>(boxName);
        connectTextChange(control<QWidget>(fieldName), box,
                          [box](bool empty) { box->setChecked(!empty); });
    }
}

// The icon's eight pictures are some 370 KB of pixels to decode and hand to
// the window system: they follow the window's first paint instead of holding
// it up, so the window shows that much sooner.
bool frmMain::event(QEvent *event)
{
    const bool handled = FormWindow::event(event);
    if (event->type() == QEvent::Paint && !iconRequested_) {
        iconRequested_ = true;
        QTimer::singleShot(0, this, [this] { setWindowIcon(programIcon()); });
    }
    return handled;
}

void frmMain::Form_Load()
{
    placeFrameAt(QPoint(storedCoordinate("Left"), storedCoordinate("Top")));
    ProcessTags::LoadDefaultItems(controls_);

    // Filling the list is not an edit: no tick rule runs, the text stays
    // empty and no entry is chosen.
    auto *robot = control<ComboTextBox>("cboRobot");
    for (const char *value : RobotValues)
        robot->addItem(QLatin1String(value));
}

void frmMain::Form_Unload()
{
    // Where the window system keeps the position to itself, the stored one
    // stays as it was, for the next session that can use it.
    const std::optional<QPoint> position = framePosition();
    if (!position)
        return;
    storeCoordinate("Top", position->y());
    storeCoordinate("Left", position->x());
}

void frmMain::fillInExamples()
{
    for (const auto &[name, value] : Examples)
        controls_.setText(QLatin1String(name), QString::fromUtf8(value));
    controls_.setCheckValue(QStringLiteral("chkDCDescription"), ProcessTags::Ticked);
    controls_.setCheckValue(QStringLiteral("chkDCTitle"), ProcessTags::Ticked);
}

void frmMain::ClearAll(QWidget *form)
{
    // Every named control of the form; the parts built inside a control (a
    // combo box's own text box) have no name and are passed over.
    for (QWidget *control : form->findChildren<QWidget *>()) {
        if (control->objectName().isEmpty())
            continue;
        if (auto *box = qobject_cast<QCheckBox *>(control))
            box->setCheckState(Qt::Unchecked);
        clearControlText(control);  // combo boxes keep their entries
    }
}

void frmMain::cmdGenerateTags_Click()
{
    // A refresh needs its seconds; any other missing value goes to the error
    // list instead of stopping the generation.
    auto *seconds = control<QWidget>("txtRefreshSeconds");
    if (controls_.checkValue(QStringLiteral("chkRefresh")) == ProcessTags::Ticked &&
        controlText(seconds).isEmpty()) {
        Prompts::showMessage(this, {QStringLiteral("A refresh seconds value is required"),
                                    QStringLiteral("Processing Error"), QMessageBox::Warning});
        seconds->setFocus(Qt::OtherFocusReason);
        return;
    }
    ProcessTags::BuildTags(controls_);
    // This window stays disabled until the tags window closes.
    openChild<frmTags>();
}

void frmMain::cmdRobotValues_Click()
{
    // A help window beside this one: this window stays usable.
    showWindow<frmRobotValues>(this);
}

void frmMain::mnuPreferences_Click()
{
    openChild<frmPreferences>();
}

void frmMain::mnuExit_Click()
{
    close();
}

void frmMain::mnuFillInExamples_Click()
{
    fillInExamples();
}

void frmMain::mnuReset_Click()
{
    ClearAll(this);
    ProcessTags::LoadDefaultItems(controls_);
}

void frmMain::mnuClearAll_Click()
{
    ClearAll(this);
}

void frmMain::mnuAbout_Click()
{
    openChild<frmAbout>();
}
