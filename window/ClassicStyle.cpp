#include "ClassicStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>

namespace {

constexpr int IndicatorSize = 13;
constexpr int CaptionIndent = 8;  // from the frame's left edge to the caption's
constexpr int CaptionPadding = 2;  // cleared on each side of the caption's text

class FormProxyStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight)
            return IndicatorSize;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                         SubControl part, const QWidget *widget) const override
    {
        if (control == CC_GroupBox)
            return frameRect(*option, part);
        return QProxyStyle::subControlRect(control, option, part, widget);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override
    {
        if (control == CC_GroupBox)
            drawFrame(*option, painter);
        else
            QProxyStyle::drawComplexControl(control, option, painter, widget);
    }

private:
    static QString caption(const QStyleOptionComplex &option)
    {
        const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(&option);
        return box ? box->text : QString();
    }

    // The border's top runs through the middle of the caption's line; the
    // caption stands on it, indented from the frame's left edge.
    static QRect frameRect(const QStyleOptionComplex &option, SubControl part)
    {
        const QString text = caption(option);
        const int lineHeight = option.fontMetrics.height();
        const QRect border = option.rect.adjusted(0, lineHeight / 2, 0, 0);
        switch (part) {
        case SC_GroupBoxLabel:
            if (text.isEmpty())
                return QRect();
            return QRect(option.rect.left() + CaptionIndent, option.rect.top(),
                         option.fontMetrics.size(Qt::TextShowMnemonic, text).width() +
                             2 * CaptionPadding,
                         lineHeight);
        case SC_GroupBoxFrame:
            return border;
        case SC_GroupBoxContents:
            return QRect(QPoint(border.left() + 2, option.rect.top() + lineHeight),
                         border.bottomRight() - QPoint(2, 2));
        default:
            return QRect();
        }
    }

    // Filled one-pixel bands rather than stroked lines: at a fractional scale
    // a band still covers at least one device pixel, where a thin stroke can
    // fall between two.
    static void outline(QPainter *painter, const QRect &r, const QColor &color)
    {
        painter->fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
        painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
        painter->fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
        painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), color);
    }

    // An etched border, a dark line with a light one inside and below it,
    // then the caption on the window's own background.
    void drawFrame(const QStyleOptionComplex &option, QPainter *painter) const
    {
        const QRect border = frameRect(option, SC_GroupBoxFrame);
        outline(painter, border.adjusted(1, 1, 0, 0), option.palette.color(QPalette::Light));
        outline(painter, border.adjusted(0, 0, -1, -1), option.palette.color(QPalette::Dark));
        const QRect label = frameRect(option, SC_GroupBoxLabel);
        if (label.isEmpty())
            return;
        painter->fillRect(label, option.palette.window());
        drawItemText(painter, label.adjusted(CaptionPadding, 0, -CaptionPadding, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, option.palette,
                     option.state & State_Enabled, caption(option), QPalette::WindowText);
    }
};

}  // namespace

QStyle *classicStyle()
{
    // Owned by the application, so that it outlives every window and goes
    // before the application does.
    static QPointer<QStyle> style;
    if (!style) {
        // A fresh instance of the style the application's own is built on.
        const QStyle *application = QApplication::style();
        if (const auto *proxy = qobject_cast<const QProxyStyle *>(application))
            application = proxy->baseStyle();
        style = new FormProxyStyle(QStyleFactory::create(application->name()));
        style->setParent(qApp);
    }
    return style;
}
