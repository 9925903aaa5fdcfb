#include "ReadBackWorker.h"

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
      const QImage Enlarged =
          Job.Style.PaintedAtFinalSize()
              ? RenderRaster(Job.Grid, Job.Style, Job.Grid.Side * kReadBackPixelsPerModule)
              : StretchNearest(Job.Picture, Job.Picture.width() * kReadBackPixelsPerModule,
                               Job.Picture.height() * kReadBackPixelsPerModule);
      Answer.Verdict = Verify(Enlarged, Job.Expected, Job.Style);
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
