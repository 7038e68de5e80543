#pragma once

#include "store/Jpeg.h"

#include <QImage>
#include <QWidget>

// A picture box that stretches its picture to fit while keeping the proportions.
class PhotoBox : public QWidget {
    Q_OBJECT
public:
    explicit PhotoBox(QWidget* parent = nullptr);

    void setPicture(const QImage& image);
    void setPicture(const RgbImage& image);
    void clear();
    bool hasPicture() const { return !m_image.isNull(); }
    const QImage& picture() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
