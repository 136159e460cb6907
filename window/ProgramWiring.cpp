#include "ProgramWiring.h"

#include "FormWindow.h"
#include "KeyRouter.h"
#include "TextBoxAccessibility.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

#include <functional>
#include <memory>

namespace {

// An icon whose pictures are read only when something first asks about them,
// once for the icon and all its copies.
class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> read)
        : read_(std::make_shared<Read>(Read{std::move(read), {}, false}))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }

private:
    struct Read {
        std::function<QIcon()> read;
        QIcon icon;
        bool done;
    };

    QIcon icon()
    {
        if (!read_->done) {
            read_->icon = read_->read();
            read_->done = true;
        }
        return read_->icon;
    }

    std::shared_ptr<Read> read_;
};

// The application's style, but for the overflow button of a menu bar: Qt's
// menu bar reads its icon as it is built, and with the first image read Qt
// looks through every image format plugin installed, before the main window's
// first paint, for a button that shows only when the menus do not fit. The
// icon is read when the button is first drawn instead.
class ApplicationStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        const QPointer<const QWidget> forWidget(widget);
        const QPointer<QStyle> base(baseStyle());
        const bool rightToLeft = (option ? option->direction
                                         : widget ? widget->layoutDirection()
                                                  : QGuiApplication::layoutDirection()) ==
                                 Qt::RightToLeft;
        return QIcon(new DeferredIconEngine([=] {
            if (!base)
                return QIcon();
            QStyleOption direction;
            direction.direction = rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
            return base->standardIcon(icon, &direction, forWidget.data());
        }));
    }
};

// A screen reader announces each window as a window (a tool window as a
// dialog) named by its caption; a plain widget would be a nameless filler.
QAccessibleInterface *accessibleWindow(const QString &, QObject *object)
{
    auto *window = qobject_cast<FormWindow *>(object);
    if (!window || !window->isWindow())
        return nullptr;
    const bool tool = window->windowType() == Qt::Tool;
    return new QAccessibleWidget(window, tool ? QAccessible::Dialog : QAccessible::Window);
}

}  // namespace

void installProgramWiring()
{
    // Once per application, however often a test asks.
    static QObject *installedOn = nullptr;
    if (installedOn == qApp)
        return;
    installedOn = qApp;
    QApplication::setStyle(new ApplicationStyle(QApplication::style()->name()));
    qApp->installEventFilter(new KeyRouter(qApp));
    QAccessible::installFactory(accessibleWindow);
    installTextBoxAccessibility();
}
