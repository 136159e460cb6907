#include "frmAbout.h"

#include "Prompts.h"
#include "Version.h"

#include <QLabel>
#include <QMouseEvent>

#include <functional>
#include <utility>

namespace {

const char *const WebsiteAddress = "https://www.quillfern.example";
const char *const EmailAddress = "orvane@quillfern.example";

constexpr unsigned LinkLabel = Link | SizedToText;

// clang-format off
const WindowSpec Layout{"frmAbout", "About Orvane", 6585, 4710, FrameStyle::FixedToolWindow, {
    {"Picture1", ControlKind::Picture, nullptr, 120, 120, 3060, 3960},
    {"Label1", ControlKind::Label, nullptr, 3240, 120, 3255, 3975, AlignRight | WordWrap},
    {"lblWebsite", ControlKind::Label, WebsiteAddress, 120, 4200, 3495, 195, LinkLabel},
    {"lblEmail", ControlKind::Label, EmailAddress, 120, 4440, 1965, 195, LinkLabel},
    // No access key, and no cancel button: Esc leaves the box open.
    {"cmdOK", ControlKind::Button, "OK", 5280, 4320, 1215, 315, DefaultButton},
}};
// clang-format on

// One line each; the label wraps them.
const char *const Paragraphs[] = {
    "Orvane began on an idle summer, with all of my friends away on holiday "
    "and nothing much left to do.",
    "Every META tag generator I could find was either expensive or a cut-down "
    "free edition of an expensive one, so I wrote my own in one weekend.",
    "Fill in the fields, tick the tags you want, and Orvane writes the title, "
    "META and Dublin Core tags for the head of your page, ready to copy or save.",
    "What the name means will never be told. It cannot be pronounced, and it "
    "ought to be written in lowercase.",
};

QString aboutText()
{
    QStringList paragraphs;
    for (const char *paragraph : Paragraphs)
        paragraphs << QString::fromUtf8(paragraph);
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

// A label has no click of its own. A left-button release over the label
// counts as one: the press went to the label too, as the mouse is grabbed by
// the widget it was pressed on.
class ClickFilter : public QObject {
public:
    ClickFilter(QWidget *label, std::function<void()> onClick)
        : QObject(label), onClick_(std::move(onClick))
    {
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonRelease)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const auto *label = static_cast<QWidget *>(watched);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint()))
            onClick_();
        return false;
    }

private:
    std::function<void()> onClick_;
};

}  // namespace

frmAbout::frmAbout() : FormWindow(Layout)
{
    // The logo is decoded only here, when the box opens, not at start-up.
    auto *picture = control<QLabel>("Picture1");
    const QPixmap logo(QStringLiteral(":/quillfern-logo.png"));
    picture->setPixmap(logo);
    const int border = picture->frameWidth();
    picture->resize(logo.size() + QSize(2 * border, 2 * border));

    new ClickFilter(control<QLabel>("lblWebsite"), [this] { lblWebsite_Click(); });
    new ClickFilter(control<QLabel>("lblEmail"), [this] { lblEmail_Click(); });
    onClick("cmdOK", &frmAbout::cmdOK_Click);
}

void frmAbout::Form_Load()
{
    // The second number is the minor version, not the revision: the revision
    // counts builds of one release, and "1.34" would read as a later release
    // than 1.2 and go backwards when the minor version moves on.
    setWindowTitle(QStringLiteral("About Orvane Version %1.%2")
                       .arg(ORVANE_VERSION_MAJOR)
                       .arg(ORVANE_VERSION_MINOR));
    control<QLabel>("Label1")->setText(aboutText());
}

void frmAbout::openOrSay(const QString &address, const QString &failure)
{
    if (Prompts::openAddress(QUrl(address)))
        return;
    Prompts::Message message;
    message.text = failure;
    message.icon = QMessageBox::Warning;
    Prompts::showMessage(this, message);
}

void frmAbout::lblWebsite_Click()
{
    const QString address = QString::fromUtf8(WebsiteAddress);
    openOrSay(address, QStringLiteral("Orvane could not open %1: no web browser could be started.")
                           .arg(address));
}

void frmAbout::lblEmail_Click()
{
    const QString address = QString::fromUtf8(EmailAddress);
    openOrSay(QStringLiteral("mailto:%1?Subject=Orvane").arg(address),
              QStringLiteral("Orvane could not start an e-mail program to write to %1.")
                  .arg(address));
}

void frmAbout::cmdOK_Click()
{
    close();
}
