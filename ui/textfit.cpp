#include "ui/textfit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOption>

namespace {

constexpr int SmallestPixelSize = 7;

// Room for text inside a control, after the style's own decoration.
int textRoom(QWidget* w) {
    QStyle* style = w->style();
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(box);
        return w->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, &opt, box) -
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, box) - 1;
    }
    if (qobject_cast<QAbstractButton*>(w))
        return w->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin) - 2;
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->width() - 16;
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->contentsRect().width();
    return w->width();
}

QString captionOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text().remove(u'&');
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title().remove(u'&');
    if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull())
        return l->text();
    return {};
}

void fit(QWidget* w) {
    const QString text = captionOf(w);
    if (text.isEmpty())
        return;
    const int room = textRoom(w);
    QFont f = w->font();
    int px = QFontInfo(f).pixelSize();
    while (QFontMetricsF(f).horizontalAdvance(text) > room && px > SmallestPixelSize) {
        f.setPixelSize(--px);
    }
    if (f != w->font())
        w->setFont(f);
}

} // namespace

void fitCaptions(QWidget* root) {
    for (QWidget* w : root->findChildren<QWidget*>())
        fit(w);
}

void applyDesignFont(QWidget* window) {
    QFont f = window->font();
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                   QStringLiteral("Nimbus Sans"), QStringLiteral("Arial"),
                   QStringLiteral("Helvetica"), f.family()});
    f.setPixelSize(11);
    window->setFont(f);
}
