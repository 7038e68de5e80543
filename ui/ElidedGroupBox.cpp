#include "ui/ElidedGroupBox.h"

#include <QHelpEvent>
#include <QLayout>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QToolTip>

ElidedGroupBox::ElidedGroupBox(const QString& title, QWidget* parent) : QGroupBox(parent) {
    setFullTitle(title);
}

void ElidedGroupBox::setFullTitle(const QString& title) {
    m_fullTitle = title;
    showTitle();
}

QSize ElidedGroupBox::minimumSizeHint() const {
    // The contents decide the least width, not the caption.
    QSize size = QGroupBox::minimumSizeHint();
    if (layout())
        size.setWidth(layout()->totalMinimumSize().width());
    return size;
}

void ElidedGroupBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    showTitle();
}

void ElidedGroupBox::showTitle() {
    // Room beside the caption's margins, as the style lays the caption out.
    const int room = std::max(0, width() - 2 * style()->pixelMetric(QStyle::PM_LayoutLeftMargin) -
                                     fontMetrics().averageCharWidth());
    QString shown = fontMetrics().elidedText(m_fullTitle, Qt::ElideRight, room);
    m_cut = shown != m_fullTitle;
    setTitle(shown.replace(QLatin1Char('&'), QLatin1String("&&")));
}

bool ElidedGroupBox::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Only over the caption, and only when it is cut: the grid below has tips of its own.
        auto* help = static_cast<QHelpEvent*>(event);
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        const QRect caption =
            style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
        if (m_cut && caption.contains(help->pos()))
            QToolTip::showText(help->globalPos(), m_fullTitle, this, caption);
        else
            QToolTip::hideText();
        return true;
    }
    return QGroupBox::event(event);
}

void setGroupTitle(QGroupBox* group, const QString& title) {
    if (auto* elided = qobject_cast<ElidedGroupBox*>(group))
        elided->setFullTitle(title);
    else
        group->setTitle(title);
}
