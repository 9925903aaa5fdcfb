// The small pictures of the main window, drawn in code so that the program carries no image
// files: the program's icon, also shown on " Generate QR-Code", and the clipboard picture of
// "Copy to Clipboard".
#pragma once

#include <QIcon>

// 16 x 16: three finder patterns and a few modules.
QIcon GenerateIcon();
// 15 x 16: a clipboard with a sheet of lines.
QIcon ClipboardIcon();
