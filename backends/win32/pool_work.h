// Work done away from the program's thread, on a thread of the system's pool.
//
// Not a detached std::thread: the threads library of this toolchain keeps a handle for each of its
// threads, and one that is detached while it ends can have that handle closed twice. The value,
// reused meanwhile for another handle of the program, is then closed under its owner (a join that
// fails with "No such process", a wait that never ends). The system's pool keeps no handle of ours.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <new>

namespace unw::win32 {

// Runs `work` on a pool thread; false (and `work` never runs) when the system would not take it.
inline bool RunOnPool(std::function<void()> work) {
  auto job = std::make_unique<std::function<void()>>(std::move(work));
  const auto run = [](PTP_CALLBACK_INSTANCE instance, void* context) {
    // A read that never ends must not hold up the pool's other work.
    CallbackMayRunLong(instance);
    std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(context));
    (*owned)();
  };
  if (!TrySubmitThreadpoolCallback(run, job.get(), nullptr)) return false;
  job.release();  // the callback owns it now
  return true;
}

}  // namespace unw::win32
