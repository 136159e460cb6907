#include "Baseline.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QWidget *makeBaselineWindow()
{
    auto *window = new QWidget;
    window->setWindowTitle(QStringLiteral("Baseline"));
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QMenuBar(window);
    const char *menus[][3] = {{"&File", "&Preferences", "E&xit"},
                              {"F&orm", "Fill in Examples", "Clear All"},
                              {"&Help", "&About", nullptr}};
    for (const auto &m : menus) {
        QMenu *menu = bar->addMenu(QString::fromLatin1(m[0]));
        for (int i = 1; i < 3 && m[i]; ++i)
            menu->addAction(QString::fromLatin1(m[i]));
    }
    bar->actions().at(1)->menu()->addAction(QStringLiteral("Reset to Specified Defaults"));
    layout->setMenuBar(bar);

    auto *client = new QWidget;
    client->setFixedSize(377, 374);
    layout->addWidget(client);
    for (int i = 0; i < 14; ++i)
        (new QCheckBox(QStringLiteral("Item %1").arg(i), client))->setGeometry(8, 8 + 24 * i, 80, 17);
    for (int i = 0; i < 10; ++i)
        (new QLineEdit(client))->setGeometry(88, 8 + 24 * i, 281, 19);
    (new QPlainTextEdit(client))->setGeometry(88, 250, 281, 35);
    auto *combo = new QComboBox(client);
    combo->setEditable(true);
    combo->setGeometry(88, 290, 209, 21);
    (new QPushButton(QStringLiteral("&Values?"), client))->setGeometry(304, 290, 65, 21);
    (new QPushButton(QStringLiteral("&Generate Tags"), client))->setGeometry(8, 344, 113, 25);
    for (int i = 0; i < 4; ++i)
        (new QLabel(QStringLiteral("label"), client))->setGeometry(88 + 60 * i, 320, 50, 13);
    auto *line = new QFrame(client);
    line->setFrameStyle(QFrame::HLine | QFrame::Plain);
    line->setGeometry(8, 336, 360, 1);
    return window;
}
