#include "ReadBackWorker.h"

#include "render/Judge.h"
#include "render/Raster.h"

#include <new>

TReadBackWorker::TReadBackWorker(std::function<void(const TReadBackAnswer&)> Deliver)
    : FDeliver(std::move(Deliver)), FThread([this] { Run(); }) {}

TReadBackWorker::~TReadBackWorker() {
  {
    const std::lock_guard Guard(FLock);
    FStop = true;
    FWaiting.reset();
  }
  FWake.notify_all();
  FThread.join();
}

void TReadBackWorker::Submit(TReadBackJob Job) {
  {
    const std::lock_guard Guard(FLock);
    FWaiting = std::move(Job);
  }
  FWake.notify_all();
}

void TReadBackWorker::WaitIdle() {
  std::unique_lock Guard(FLock);
  FIdle.wait(Guard, [this] { return !FWaiting && !FBusy; });
}

void TReadBackWorker::Run() {
  for (;;) {
    TReadBackJob Job;
    {
      std::unique_lock Guard(FLock);
      FWake.wait(Guard, [this] { return FStop || FWaiting.has_value(); });
      if (FStop) break;
      Job = std::move(*FWaiting);
      FWaiting.reset();
      FBusy = true;
    }
    TReadBackAnswer Answer;
    Answer.PassNumber = Job.PassNumber;
    Answer.Version = Job.Version;
    Answer.Level = Job.Level;
    try {
      Answer.ByteCount = Job.Expected.size();
      // Square modules read the same at every whole number of pixels a module; a shaped code is
      // judged at a few sizes (dots and a logo's edge fall differently on the pixels), and is
      // borderline when they disagree.
      std::vector<TJudgedSize> Sizes;
      for (const int Pixels : kReadBackSizes) {
        if (!Job.Style.PaintedAtFinalSize() && Pixels != kReadBackPixelsPerModule) continue;
        Sizes.push_back({static_cast<double>(Pixels), PixelsAModule(Pixels),
                         Job.Style.PaintedAtFinalSize()
                             ? RenderRaster(Job.Grid, Job.Style, Job.Grid.Side * Pixels)
                             : StretchNearest(Job.Picture, Job.Picture.width() * Pixels,
                                              Job.Picture.height() * Pixels)});
      }
      Answer.Verdict = VerifyAtSizes(Job.Grid, Job.Style, Job.Expected, Sizes);
    } catch (const std::bad_alloc&) {
      Answer.Verdict = OutOfMemoryVerdict();
    }
    {
      std::unique_lock Guard(FLock);
      // An answer found while the window is going away is not delivered.
      if (!FStop) FDeliver(Answer);
      FBusy = false;
    }
    FIdle.notify_all();
  }
  {
    const std::lock_guard Guard(FLock);
    FBusy = false;
  }
  FIdle.notify_all();
}
