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

std::string LibraryNoteTail() {
  const std::string Note = TakeLibraryNote();
  return Note.empty() ? std::string() : " (" + Note + ")";
}
