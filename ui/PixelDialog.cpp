#include "ui/PixelDialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

PixelDialog::PixelDialog(QWidget* parent, const QString& objectName, const QString& caption,
                         QSize client)
    : QDialog(parent), m_design(client) {
    setObjectName(objectName);
    setWindowTitle(caption);
    keepDesignedSize(this, client);
    resize(client);
}

void PixelDialog::place(QWidget* widget, const QRect& geometry, Qt::Edges edges) {
    widget->setGeometry(geometry);
    m_anchors.append({widget, geometry, edges});
}

QPushButton* PixelDialog::button(const char* objectName, const QIcon& glyph, const QString& caption,
                                 const QRect& geometry, Qt::Edges edges) {
    auto* b = new QPushButton(glyph, caption, this);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setAutoDefault(false);
    b->setDefault(false);
    place(b, geometry, edges);
    return b;
}

void PixelDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
}

void PixelDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int dx = width() - m_design.width();
    const int dy = height() - m_design.height();
    for (const Anchor& a : m_anchors) {
        QRect r = a.geometry;
        const bool left = a.edges & Qt::LeftEdge;
        const bool right = a.edges & Qt::RightEdge;
        const bool top = a.edges & Qt::TopEdge;
        const bool bottom = a.edges & Qt::BottomEdge;
        if (left && right)
            r.setWidth(std::max(0, r.width() + dx));
        else if (right)
            r.moveLeft(r.left() + dx);
        if (top && bottom)
            r.setHeight(std::max(0, r.height() + dy));
        else if (bottom)
            r.moveTop(r.top() + dy);
        a.widget->setGeometry(r);
    }
}

void PixelDialog::keyPressEvent(QKeyEvent* event) {
    // Esc closes the dialog as its close box and "Отмена" do; Enter presses the focused button
    // and nothing else, as no button is the default.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget());
            focused && focused->isEnabled())
            focused->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

namespace {

// Undoes a maximise that a window manager allows in spite of the hints (a double click on the
// title bar).
class NoMaximise : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::WindowStateChange &&
            window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
            QMetaObject::invokeMethod(window, &QWidget::showNormal, Qt::QueuedConnection);
        return false;
    }
};

}  // namespace

void keepDesignedSize(QDialog* dialog, QSize client) {
    dialog->setMinimumSize(client);
    // Without the customize hint the window manager adds its own buttons, maximise among them.
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->installEventFilter(new NoMaximise(dialog));
}
