// Qt's image and SVG readers speak on their own ("libpng error: ...", "qt.gui.imageio.jpeg: ...",
// "qt.svg: ..."), in lines of their own before the program's message. A program that says
// everything in one line calls CollectLibraryNotes() once: from then on such lines are kept, the
// last one of each thread, instead of printed, and TakeLibraryNote() hands it to the message
// being written (and forgets it). Without the call, Qt prints them as it always does and
// TakeLibraryNote() answers "".
#pragma once

#include "text/Message.h"

#include <string>

void CollectLibraryNotes();
std::string TakeLibraryNote();
// Message with the note after it ("Message (the note)"), or Message alone when there is none.
TMessage WithLibraryNote(TMessage Message);
