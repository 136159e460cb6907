#pragma once
// The program's conversations with the user and the desktop: message boxes,
// the save dialog and the launcher that opens an address. They go through
// this one seam so that a test can answer them instead of blocking on them.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

namespace Prompts {

struct Message {
    QString text;
    QString title;  // the application's title when empty
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

struct SaveRequest {
    QString title;
    QStringList nameFilters;  // the first one is selected
    QString defaultSuffix;
};

// Shows a message box with an OK button and waits until it is closed.
void showMessage(QWidget *parent, const Message &message);

// Shows the save dialog and waits; returns the chosen file name, or an empty
// text when the user cancelled.
QString askSaveFileName(QWidget *parent, const SaveRequest &request);

// Hands the address to the desktop's launcher without waiting for what it
// starts; false when no program could be started for it.
bool openAddress(const QUrl &address);

// Stand-ins for tests: each hook, when set, runs instead of the real dialog.
struct Hooks {
    std::function<void(const Message &)> message;
    std::function<QString(const SaveRequest &)> saveFileName;
    std::function<bool(const QUrl &)> openAddress;
};
void setHooks(Hooks hooks);

}  // namespace Prompts
