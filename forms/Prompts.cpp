#include "Prompts.h"

#include "Version.h"

#include <QDesktopServices>
#include <QFileDialog>

namespace Prompts {

namespace {
Hooks &hooks()
{
    static Hooks installed;
    return installed;
}
}  // namespace

void setHooks(Hooks replacement)
{
    hooks() = std::move(replacement);
}

void showMessage(QWidget *parent, const Message &message)
{
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
