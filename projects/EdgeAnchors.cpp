#include "projects/EdgeAnchors.h"

#include <QWidget>

void EdgeAnchors::place(QWidget* widget, const QRect& geometry, Qt::Edges edges) {
    widget->setGeometry(geometry);
    m_entries.append({widget, geometry, edges});
}

void EdgeAnchors::apply(QSize client) const {
    const int dx = client.width() - m_design.width();
    const int dy = client.height() - m_design.height();
    for (const Entry& e : m_entries) {
        QRect r = e.geometry;
        const bool left = e.edges & Qt::LeftEdge;
        const bool right = e.edges & Qt::RightEdge;
        const bool top = e.edges & Qt::TopEdge;
        const bool bottom = e.edges & Qt::BottomEdge;
        if (left && right)
            r.setWidth(std::max(0, r.width() + dx));
        else if (right)
            r.moveLeft(r.left() + dx);
        if (top && bottom)
            r.setHeight(std::max(0, r.height() + dy));
        else if (bottom)
            r.moveTop(r.top() + dy);
        e.widget->setGeometry(r);
    }
}
