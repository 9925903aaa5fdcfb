#include "Icons.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

QIcon GenerateIcon() {
  QImage Image(16, 16, QImage::Format_ARGB32);
  Image.fill(Qt::transparent);
  QPainter Painter(&Image);
  Painter.setPen(Qt::NoPen);
  Painter.setBrush(Qt::black);
  for (const QPoint Corner : {QPoint(0, 0), QPoint(9, 0), QPoint(0, 9)}) {
    Painter.fillRect(QRect(Corner, QSize(7, 7)), Qt::black);
    Painter.fillRect(QRect(Corner + QPoint(1, 1), QSize(5, 5)), Qt::white);
    Painter.fillRect(QRect(Corner + QPoint(2, 2), QSize(3, 3)), Qt::black);
  }
  for (const QPoint Module :
       {QPoint(10, 10), QPoint(12, 12), QPoint(14, 10), QPoint(10, 14), QPoint(14, 14)})
    Painter.fillRect(QRect(Module, QSize(2, 2)), Qt::black);
  return QIcon(QPixmap::fromImage(Image));
}

QIcon ClipboardIcon() {
  QImage Image(15, 16, QImage::Format_ARGB32);
  Image.fill(Qt::transparent);
  QPainter Painter(&Image);
  Painter.setPen(QColor(90, 60, 20));
  Painter.setBrush(QColor(200, 160, 90));
  Painter.drawRect(1, 2, 12, 13);
  Painter.setBrush(Qt::white);
  Painter.drawRect(3, 4, 8, 9);
  Painter.setBrush(QColor(120, 120, 120));
  Painter.drawRect(4, 0, 6, 3);
  Painter.setPen(QColor(60, 60, 60));
  for (int Y = 6; Y <= 11; Y += 2)
    Painter.drawLine(5, Y, 9, Y);
  return QIcon(QPixmap::fromImage(Image));
}
