#include "projects/gui/ProjectGlyphs.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace {

void drawSheet(QPainter& p) {
    QPainterPath sheet;
    sheet.moveTo(1.5, 1.5);
    sheet.lineTo(8.5, 1.5);
    sheet.lineTo(11.5, 4.5);
    sheet.lineTo(11.5, 14.5);
    sheet.lineTo(1.5, 14.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(96, 96, 96), 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.drawLine(QPointF(8.5, 1.5), QPointF(8.5, 4.5));
    p.drawLine(QPointF(8.5, 4.5), QPointF(11.5, 4.5));
    p.setPen(QPen(QColor(176, 176, 176), 1));
    for (int y = 7; y <= 12; y += 2)
        p.drawLine(QPointF(3.5, y + 0.5), QPointF(8.5, y + 0.5));
}

void drawPlus(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 150, 0));
    p.drawRect(QRectF(11, 7, 2.5, 8));
    p.drawRect(QRectF(8.25, 9.75, 8, 2.5));
}

void drawCross(QPainter& p) {
    p.setPen(QPen(QColor(210, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 8), QPointF(15, 14));
    p.drawLine(QPointF(15, 8), QPointF(9, 14));
}

void drawBentArrow(QPainter& p, const QColor& colour) {
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath shaft;
    shaft.moveTo(14.5, 6);
    shaft.lineTo(14.5, 12);
    shaft.lineTo(9, 12);
    p.drawPath(shaft);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    QPolygonF head;
    head << QPointF(6, 12) << QPointF(10, 8.5) << QPointF(10, 15.5);
    p.drawPolygon(head);
}

void drawArrowhead(QPainter& p) {
    p.setPen(QPen(QColor(0, 100, 0), 1));
    p.setBrush(QColor(0, 170, 0));
    QPolygonF head;
    head << QPointF(4.5, 2.5) << QPointF(12.5, 8) << QPointF(4.5, 13.5);
    p.drawPolygon(head);
}

}  // namespace

QIcon projectGlyph(ProjectGlyph glyph) {
    if (glyph == ProjectGlyph::Save)
        return qApp->style()->standardIcon(QStyle::SP_DialogSaveButton);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
        case ProjectGlyph::Cancel:
            drawSheet(p);
            drawBentArrow(p, QColor(210, 0, 0));
            break;
        case ProjectGlyph::Choose:
            drawArrowhead(p);
            break;
        case ProjectGlyph::AddSheet:
            drawSheet(p);
            drawPlus(p);
            break;
        case ProjectGlyph::RenameSheet:
            drawSheet(p);
            drawBentArrow(p, QColor(0, 70, 200));
            break;
        case ProjectGlyph::DeleteSheet:
            drawSheet(p);
            drawCross(p);
            break;
        case ProjectGlyph::Save:
            break;
    }
    p.end();
    return QIcon(pixmap);
}
