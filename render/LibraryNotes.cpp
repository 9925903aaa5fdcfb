#include "render/LibraryNotes.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace {

thread_local std::string GNote;

void Keep(QtMsgType Type, const QMessageLogContext& Context, const QString& Message) {
  if (Type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", qPrintable(Message));
    std::abort();
  }
  std::string Note = Message.simplified().toStdString();
  if (Context.category && std::string_view(Context.category) != "default")
    Note = std::string(Context.category) + ": " + Note;
  GNote = std::move(Note);
}

} // namespace

void CollectLibraryNotes() {
  qInstallMessageHandler(Keep);
}

std::string TakeLibraryNote() {
  return std::exchange(GNote, std::string());
}

TMessage WithLibraryNote(TMessage Message) {
  const std::string Note = TakeLibraryNote();
  if (Note.empty()) return Message;
  return Say(QT_TRANSLATE_NOOP("Messages", "%1 (%2)"), {std::move(Message), PlainUtf8(Note)});
}
