// marbeck-cli text|url|email|vcard|wifi: one code of the fields given, drawn in the terminal,
// written to standard output or to one file (atomically).
#pragma once

#include "batch/Fields.h"
#include "cli/StyleOptions.h"

#include <string>

// Makes the code of Kind from Values in the style S and writes it to Output ("" draws it in the
// terminal, "-" writes standard output). Answers an exit status of cli/ExitStatus.h; messages go
// to standard error.
int RunSingle(TKind Kind, TFieldValues Values, const TStyleText& S, const std::string& Output);
