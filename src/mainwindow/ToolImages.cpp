#include "mainwindow/ToolImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor ink(40, 40, 40);

void padlock(QPainter& p, bool closed) {
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.setBrush(Qt::NoBrush);
    // The shackle swings up and to the right when open.
    const QRectF shackle = closed ? QRectF(4, 1, 8, 9) : QRectF(8, 0, 7, 8);
    p.drawArc(shackle, 0, 180 * 16);
    p.drawLine(QPointF(shackle.right(), shackle.center().y()), QPointF(shackle.right(), 8));
    if (closed)
        p.drawLine(QPointF(shackle.left(), shackle.center().y()), QPointF(shackle.left(), 8));
    p.setPen(QPen(ink, 1));
    p.setBrush(closed ? QColor(220, 170, 30) : QColor(120, 190, 90));
    p.drawRoundedRect(QRectF(2.5, 7.5, 11, 8), 1.5, 1.5);
    p.setBrush(ink);
    p.drawEllipse(QPointF(8, 11), 1.2, 1.2);
}

void floppy(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
}

void pencil(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(240, 200, 60));
    QPainterPath path;
    path.moveTo(15, 7);
    path.lineTo(16, 8);
    path.lineTo(9, 15);
    path.lineTo(7, 16);
    path.lineTo(8, 14);
    path.closeSubpath();
    p.drawPath(path);
}

void folder(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(230, 190, 80));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.5, 3.5);
    back.lineTo(7.5, 5.5);
    back.lineTo(13.5, 5.5);
    back.lineTo(13.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 220, 120));
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4.5, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
}

void chipWithArrow(QPainter& p, bool intoChip) {
    p.setPen(QPen(ink, 1));
    for (int x = 8; x <= 14; x += 2) {
        p.drawLine(x, 3, x, 4);
        p.drawLine(x, 12, x, 13);
    }
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(6.5, 4.5, 9, 7));
    const QColor arrow = intoChip ? QColor(200, 40, 40) : QColor(30, 140, 50);
    p.setPen(QPen(arrow, 2));
    p.setBrush(arrow);
    p.drawLine(QPointF(0.5, 8), QPointF(5, 8));
    QPainterPath head;
    if (intoChip) {
        head.moveTo(6, 8);
        head.lineTo(3, 5);
        head.lineTo(3, 11);
    } else {
        head.moveTo(0, 8);
        head.lineTo(3, 5);
        head.lineTo(3, 11);
    }
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.drawPath(head);
}

void gear(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 110, 120));
    p.translate(8, 8);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-1.5, -7.5, 3, 4));
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 5, 5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 2, 2);
    p.resetTransform();
}

void journal(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 0.5, 11, 15));
    p.setPen(QPen(QColor(50, 90, 170), 1));
    for (int y = 3; y <= 13; y += 2)
        p.drawLine(4, y, 12, y);
}

void network(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(40, 130, 80));
    p.drawRect(QRectF(0.5, 3.5, 15, 8));
    p.setBrush(QColor(220, 190, 60));
    for (int x = 2; x <= 12; x += 2)
        p.drawRect(QRectF(x + 0.5, 11.5, 1, 3));
    p.setBrush(QColor(30, 30, 30));
    p.drawRect(QRectF(3.5, 5.5, 5, 4));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(10.5, 5.5, 3, 4));
}

} // namespace

QIcon ToolImages::image(int index) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0:
    case 1:
        padlock(p, index == 1);
        break;
    case 2:
        floppy(p);
        break;
    case 3:
        floppy(p);
        pencil(p);
        break;
    case 4:
        folder(p);
        break;
    case 5:
    case 6:
        chipWithArrow(p, index == 5);
        break;
    case 7:
        gear(p);
        break;
    case 8:
        journal(p);
        break;
    case 9:
        network(p);
        break;
    default:
        break;
    }
    p.end();
    return QIcon(pixmap);
}
