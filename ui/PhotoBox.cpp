#include "ui/PhotoBox.h"

#include <QPainter>

PhotoBox::PhotoBox(QWidget* parent) : QWidget(parent) {}

void PhotoBox::setPicture(const QImage& image) {
    m_image = image;
    update();
}

void PhotoBox::setPicture(const RgbImage& image) {
    // The copy owns its pixels, so the decoded buffer may go at once.
    setPicture(QImage(reinterpret_cast<const uchar*>(image.pixels.constData()), image.width,
                      image.height, image.width * 3, QImage::Format_RGB888)
                   .copy());
}

void PhotoBox::clear() {
    m_image = QImage();
    update();
}

void PhotoBox::paintEvent(QPaintEvent*) {
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize size = m_image.size().scaled(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.drawImage(target, m_image);
}
