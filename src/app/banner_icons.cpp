#include "app/banner_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace gw::app {
namespace {

// Draws at several sizes so that the icon stays sharp; every drawing is made on a 64 by 64 grid.
QIcon Drawn(const std::function<void(QPainter&)>& draw) {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    draw(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

QIcon SaveSettingsIcon() {
  return Drawn([](QPainter& p) {
    QPainterPath body;
    body.moveTo(8, 6);
    body.lineTo(48, 6);
    body.lineTo(58, 16);
    body.lineTo(58, 58);
    body.lineTo(8, 58);
    body.closeSubpath();
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), 2.5));
    p.setBrush(QColor(0x3a, 0x7b, 0xd5));
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xee, 0xf6));
    p.drawRect(QRectF(18, 7.5, 26, 16));  // the shutter
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawRect(QRectF(35, 10, 6, 11));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(15, 32, 36, 24), 2, 2);  // the label
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xba), 2));
    for (int y : {39, 45, 51}) {
      p.drawLine(QPointF(20, y), QPointF(46, y));
    }
  });
}

QIcon HelpIcon() {
  return Drawn([](QPainter& p) {
    p.setPen(QPen(QColor(0xb3, 0x6b, 0x00), 2.5));
    p.setBrush(QColor(0xf5, 0xa6, 0x23));
    p.drawEllipse(QRectF(6, 6, 52, 52));
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath mark;
    mark.moveTo(23, 25);
    mark.cubicTo(23, 14, 42, 14, 42, 25);
    mark.cubicTo(42, 32, 32, 32, 32, 40);
    p.drawPath(mark);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(32, 50), 4.5, 4.5);
  });
}

QIcon ProgramIcon() {
  return Drawn([](QPainter& p) {
    // The page.
    p.setPen(QPen(QColor(0x8a, 0x96, 0xa8), 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(24, 14, 34, 44), 3, 3);
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xba), 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int y : {34, 41, 48}) {
      p.drawLine(QPointF(31, y), QPointF(51, y));
    }
    // The chat bubble.
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(4, 6, 36, 24), 7, 7);
    QPainterPath tail;
    tail.moveTo(12, 28);
    tail.lineTo(10, 38);
    tail.lineTo(22, 29);
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x9e, 0x6e));
    p.drawPath(bubble.united(tail));
    p.setBrush(Qt::white);
    for (int x : {13, 22, 31}) {
      p.drawEllipse(QPointF(x, 18), 2.8, 2.8);
    }
  });
}

}  // namespace gw::app
