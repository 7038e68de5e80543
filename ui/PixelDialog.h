#pragma once

#include <QDialog>
#include <QList>
#include <QRect>
#include <QSize>

class QPushButton;

// A small dialog laid out by pixel positions: each control keeps its distance to the edges it
// is anchored to when the dialog is resized (anchored to two opposite edges, it grows), the
// dialog opens centred on the screen and never gets smaller than designed. No button is the
// default: Enter presses the focused button only; Esc closes the dialog as its close box does.
class PixelDialog : public QDialog {
    Q_OBJECT
public:
    PixelDialog(QWidget* parent, const QString& objectName, const QString& caption, QSize client);

protected:
    // Places a control at its design geometry.
    void place(QWidget* widget, const QRect& geometry,
               Qt::Edges edges = Qt::LeftEdge | Qt::TopEdge);
    // A button that is neither the default nor the cancel button.
    QPushButton* button(const char* objectName, const QIcon& glyph, const QString& caption,
                        const QRect& geometry, Qt::Edges edges);

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Anchor {
        QWidget* widget;
        QRect geometry;
        Qt::Edges edges;
    };
    QSize m_design;
    QList<Anchor> m_anchors;
};

// A dialog can be neither maximised nor made smaller than its designed client size.
void keepDesignedSize(QDialog* dialog, QSize client);
