// Small helpers shared by the main window's source files (Unit1.cpp, Unit1Layout.cpp,
// Unit1Design.cpp): the wiring of a control to a handler, text between Qt strings and the UTF-16
// strings of payload/, the text colour of a control, and the window's fixed colours.
#pragma once

#include "text/Message.h"

#include <QColor>
#include <QCoreApplication>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <string>
#include <type_traits>

// Runs Form's Handler, guarded, on every Signal of Sender; Args go to the handler. The signal's
// own arguments are not passed on. (TForm is the main window, complete where this is used.)
template <typename TForm, typename TSender, typename TSignal, typename... TArgs>
void Wire(TForm* Form, TSender* Sender, TSignal Signal, void (TForm::*Handler)(TArgs...),
          std::type_identity_t<TArgs>... Args) {
  QObject::connect(Sender, Signal, Form,
                   [Form, Handler, Args...] { Form->Guarded([&] { (Form->*Handler)(Args...); }); });
}

inline QString ToQString(const std::u16string& Text) {
  return QString::fromStdU16String(Text);
}

inline std::u16string ToUtf16(const QString& Text) {
  return Text.toStdU16String();
}

// A message of the floors below the window in the window's language: its template looked up in
// the translation, its arguments filled in the same way (text/Message.h).
inline QString Translated(const TMessage& Message) {
  if (Message.Template == nullptr) return ToQString(Message.Plain);
  std::vector<std::u16string> Args;
  for (const TMessage& Arg : Message.Args)
    Args.push_back(ToUtf16(Translated(Arg)));
  return ToQString(
      FillTemplate(ToUtf16(QCoreApplication::translate(kMessageContext, Message.Template)), Args));
}

// Appends Note to the notes under the preview as a sentence of its own: after ". ", or after a
// blank when the notes end with their own full stop.
inline void AppendNote(QString& Notes, const QString& Note) {
  if (Note.isEmpty()) return;
  if (!Notes.isEmpty())
    Notes += Notes.endsWith(QLatin1Char('.')) ? QStringLiteral(" ") : QStringLiteral(". ");
  Notes += Note;
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
