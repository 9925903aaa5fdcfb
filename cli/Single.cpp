#include "cli/Single.h"

#include "cli/ExitStatus.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <optional>
#include <unistd.h>

namespace {

const char* const kMe = "marbeck-cli: ";

bool ReadStandardInput(std::string& Bytes) {
  Bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  return !std::cin.bad();
}

// The format --format names, if any; false after a usage error.
bool NamedFormat(const std::string& Name, std::optional<TOutputFormat>& Format) {
  if (Name.empty()) return true;
  Format = FormatFromName(Name);
  if (!Format) {
    std::cerr << kMe << "--format: unknown format \"" << Name << "\" (png, svg, pdf, utf8)\n";
    return false;
  }
  return true;
}

// The format of a file: --format, else the file's extension, and the two must agree.
std::optional<TOutputFormat> FileFormat(std::optional<TOutputFormat> Format,
                                        const std::string& Asked, const std::string& Output) {
  const std::optional<TOutputFormat> Named = FormatOfPath(Output);
  if (Format && Named && *Format != *Named) {
    std::cerr << kMe << "--format " << Asked << " does not match the name " << Output << "\n";
    return std::nullopt;
  }
  if (!Format) Format = Named;
  if (!Format)
    std::cerr << kMe << "cannot tell the format of " << Output
              << " (name it .png, .svg or .pdf, or give --format)\n";
  return Format;
}

// The format for standard output: --format, or the terminal drawing when standard output is a
// terminal and no "-" was given; never PNG or PDF data to a terminal.
std::optional<TOutputFormat> StreamFormat(std::optional<TOutputFormat> Format,
                                          const std::string& Output) {
  const bool Terminal = ::isatty(STDOUT_FILENO) != 0;
  if (!Format) {
    if (Output.empty() && Terminal) return TOutputFormat::Utf8;
    std::cerr << kMe
              << "standard output is not a terminal: give -o FILE, or --format "
                 "png|svg|pdf|utf8\n";
    return std::nullopt;
  }
  if ((*Format == TOutputFormat::Png || *Format == TOutputFormat::Pdf) && Terminal) {
    std::cerr << kMe << "not writing " << (*Format == TOutputFormat::Png ? "PNG" : "PDF")
              << " data to a terminal (use -o FILE or a pipe)\n";
    return std::nullopt;
  }
  return Format;
}

// The picture's bytes to standard output or the file Output.
int WritePicture(const TPicture& Picture, const std::string& Output, bool ToStdout) {
  if (ToStdout) {
    std::cout.write(Picture.Bytes.data(), static_cast<std::streamsize>(Picture.Bytes.size()));
    std::cout.flush();
    if (!std::cout) {
      std::cerr << kMe << "cannot write to standard output\n";
      return kExitFailed;
    }
    return kExitOk;
  }
  const TWriteResult Written = WriteFileAtomic(Output, Picture.Bytes);
  if (!Written.Ok) {
    std::cerr << kMe << "cannot write " << Output << ": " << Written.Error << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

} // namespace

int RunSingle(TKind Kind, TFieldValues Values, const TStyleText& S, const std::string& Output) {
  TPictureRequest Request;
  if (!BuildRequest(S, Request, std::cerr)) return kExitUsage;

  if (Kind == TKind::Text && Values["text"] == "-") {
    if (!ReadStandardInput(Values["text"])) {
      std::cerr << kMe << "cannot read standard input\n";
      return kExitFailed;
    }
    // A NUL byte ends the text for many phones and shows as nothing for others.
    if (const std::size_t At = Values["text"].find('\0'); At != std::string::npos) {
      std::cerr << kMe << "standard input holds a NUL byte at offset " << At
                << " (phones cut the text there)\n";
      return kExitUsage;
    }
  }
  const TPayloadResult Payload = MakePayload(Kind, Values);
  if (!Payload.Error.empty()) {
    std::cerr << kMe << Payload.Error << "\n";
    return kExitUsage;
  }
  if (!Payload.Warning.empty()) std::cerr << kMe << "warning: " << Payload.Warning << "\n";

  // The format: --format, else the file's extension; with no -o, the terminal drawing.
  std::optional<TOutputFormat> Format;
  if (!NamedFormat(S.Format, Format)) return kExitUsage;
  const bool ToStdout = Output.empty() || Output == "-";
  Format = ToStdout ? StreamFormat(Format, Output) : FileFormat(Format, S.Format, Output);
  if (!Format) return kExitUsage;
  if (*Format == TOutputFormat::Utf8 && Request.Style.HasDesign()) {
    std::cerr << kMe << kTerminalRefusesDesign << "\n";
    return kExitUsage;
  }
  Request.Format = *Format;
  Request.Title = "QR code (" + std::string(KindName(Kind)) + ")";
  Request.Encoding = KindEncoding(Kind, Request.Encoding, Payload.Payload);
  Request.ECLevel = std::max(Request.ECLevel, static_cast<TQRCodeECLevel>(Payload.LowestLevel));

  const TPicture Picture = MakePicture(Payload.Payload, Request);
  if (!Picture.Error.empty()) {
    std::cerr << kMe << Picture.Error << "\n";
    return kExitFailed;
  }
  if (FailedVerify(Picture)) {
    std::cerr << kMe << NotVerifiedMessage(Picture) << "\n";
    return kExitNotVerified;
  }
  if (!Picture.Warning.empty()) std::cerr << kMe << "warning: " << Picture.Warning << "\n";
  return WritePicture(Picture, Output, ToStdout);
}
