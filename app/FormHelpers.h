// Small helpers shared by the main window's source files (Unit1.cpp, Unit1Layout.cpp): text
// between Qt strings and the UTF-16 strings of payload/, the text colour of a control, and the
// window's fixed colours.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <string>

inline QString ToQString(const std::u16string& Text) {
  return QString::fromStdU16String(Text);
}

inline std::u16string ToUtf16(const QString& Text) {
  return Text.toStdU16String();
}

// Sets the colour of one role in Widget's own palette.
inline void SetTextColor(QWidget* Widget, QPalette::ColorRole Role, const QColor& Color) {
  QPalette Palette = Widget->palette();
  Palette.setColor(Role, Color);
  Widget->setPalette(Palette);
}

// The grey of the hint lines and of the URL page's example line.
inline const QColor kHintColor(0x80, 0x80, 0x80);
// The colour of the frame-mark labels while Frame is not ticked.
inline const QColor kSilver(192, 192, 192);
