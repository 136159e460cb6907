#include "Prompts.h"

#include "Version.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QPointer>

namespace Prompts {

namespace {
Hooks &hooks()
{
    static Hooks installed;
    return installed;
}

// When a dialog closes, the window manager activates some window of its own
// choosing, a disabled one included, and then every key is lost. The window
// that opened the dialog takes back the activation and its focus itself.
class GiveBackFocus {
public:
    explicit GiveBackFocus(QWidget *parent)
        : window_(parent ? parent->window() : QApplication::activeWindow()),
          focus_(window_ ? window_->focusWidget() : nullptr)
    {
    }
    GiveBackFocus(const GiveBackFocus &) = delete;
    GiveBackFocus &operator=(const GiveBackFocus &) = delete;
    ~GiveBackFocus()
    {
        if (!window_ || !window_->isVisible())
            return;
        window_->activateWindow();
        if (focus_)
            focus_->setFocus(Qt::OtherFocusReason);
    }

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
};

}  // namespace

void setHooks(Hooks replacement)
{
    hooks() = std::move(replacement);
}

void showMessage(QWidget *parent, const Message &message)
{
    const GiveBackFocus giveBack(parent);
    if (hooks().message) {
        hooks().message(message);
        return;
    }
    const QString title =
        message.title.isEmpty() ? QStringLiteral(ORVANE_APPLICATION_NAME) : message.title;
    QMessageBox box(message.icon, title, message.text, QMessageBox::Ok, parent);
    box.exec();
}

QString askSaveFileName(QWidget *parent, const SaveRequest &request)
{
    const GiveBackFocus giveBack(parent);
    if (hooks().saveFileName)
        return hooks().saveFileName(request);
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A filter is "Description (patterns)"; the user reads the description
    // only, which may carry patterns of its own for the eye.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(request.nameFilters);
    if (!request.nameFilters.isEmpty())
        dialog.selectNameFilter(request.nameFilters.front());
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

bool openAddress(const QUrl &address)
{
    if (hooks().openAddress)
        return hooks().openAddress(address);
    return QDesktopServices::openUrl(address);
}

}  // namespace Prompts
