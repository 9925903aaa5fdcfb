// The read-back of the window's pictures on a thread of its own: the window hands over the
// picture of every generation pass, the worker decodes it with zbar (render/ReadBack.h) and hands
// the answer back to the window's thread. Typing, the pass and the zoom never wait for zbar.
//
// One job waits at most: a job handed over while an older one still waits replaces it, so a
// quick run of passes (a slider being dragged) decodes only the pictures that still matter. Each
// answer carries the number of its pass; the window drops answers of passes older than its last.
#pragma once

#include "encoder/Mode.h"
#include "render/Code.h"
#include "render/CodeStyle.h"
#include "render/ReadBack.h"

#include <QImage>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

inline constexpr int kReadBackPixelsPerModule = 4;

struct TReadBackJob {
  quint64 PassNumber = 0;
  // The picture of the pass, one pixel per module, colours and frame marks included. The worker
  // decodes it enlarged to kReadBackPixelsPerModule pixels a module: every module the same size,
  // as in a file or a printout, and enough pixels for zbar to read any version. (The preview's
  // zoom may give a module fewer than two pixels, or unequal widths: what zbar would miss there is
  // the screen's rescaling, not the code.)
  QImage Picture;
  // The module grid: for a shaped style (dots, rounded, a logo: TCodeStyle::PaintedAtFinalSize) the
  // worker paints the picture itself at kReadBackPixelsPerModule, as the outputs draw it, instead
  // of enlarging Picture.
  TModuleGrid Grid;
  std::string Expected; // the bytes the symbol carries (the pass's TCode::Bytes)
  TCodeStyle Style;     // colours resolved
  int Version = 0;
  TQRCodeECLevel Level = ecL; // the level the symbol was made at
};

struct TReadBackAnswer {
  quint64 PassNumber = 0;
  TVerdict Verdict;
  int Version = 0;
  TQRCodeECLevel Level = ecL;
  std::size_t ByteCount = 0; // the bytes the symbol carries
};

class TReadBackWorker {
public:
  // Deliver runs on the worker's thread; it must only post the answer to the window's thread.
  explicit TReadBackWorker(std::function<void(const TReadBackAnswer&)> Deliver);
  // Stops the thread: a decode under way runs to its end (a few tens of milliseconds), a waiting
  // job is dropped, and its answer is not delivered.
  ~TReadBackWorker();
  TReadBackWorker(const TReadBackWorker&) = delete;
  TReadBackWorker& operator=(const TReadBackWorker&) = delete;

  // Hands Job over, replacing a job that has not started yet.
  void Submit(TReadBackJob Job);
  // Blocks until no job waits and none runs.
  void WaitIdle();

private:
  void Run();

  std::function<void(const TReadBackAnswer&)> FDeliver;
  std::mutex FLock;
  std::condition_variable FWake;
  std::condition_variable FIdle;
  std::optional<TReadBackJob> FWaiting;
  bool FBusy = false;
  bool FStop = false;
  std::thread FThread; // last: started when everything above exists
};
