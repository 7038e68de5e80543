#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QWidget;

// Keeps controls of a dialog laid out by pixel positions at their distance from the edges
// they are anchored to when the dialog is resized; a control anchored to two opposite edges
// grows with the dialog.
class EdgeAnchors {
public:
    explicit EdgeAnchors(QSize designClient) : m_design(designClient) {}

    // Places the control at its design geometry and remembers its anchors.
    void place(QWidget* widget, const QRect& geometry,
               Qt::Edges edges = Qt::LeftEdge | Qt::TopEdge);
    // Called with the dialog's new client size.
    void apply(QSize client) const;

private:
    struct Entry {
        QWidget* widget;
        QRect geometry;
        Qt::Edges edges;
    };
    QSize m_design;
    QList<Entry> m_entries;
};
