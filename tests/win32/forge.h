// What any program of the user's can send or post to a window of ours: the messages that create
// and destroy a window, with pointers of its own. Another thread of the test stands for the other
// program.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace unw {

// Runs `send` on another thread while `pump` runs this thread's messages (for a window of this
// thread; a window on a thread with its own loop needs no pump), then pumps what was posted.
inline void FromElsewhere(const std::function<void()>& send, const std::function<void()>& pump) {
  std::atomic<bool> done = false;
  std::thread sender([&] {
    send();
    done = true;
  });
  while (!done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    pump();
  }
  sender.join();
  pump();
}

// Sends (and, where the system lets it be posted, posts) WM_NCCREATE and WM_CREATE naming a
// buffer of a known pattern as their creation parameter, the same with no creation parameter and
// with no CREATESTRUCT at all, then WM_DESTROY and WM_NCDESTROY. True when the buffer is as it
// was: nothing was written through the sender's pointer.
inline bool ForgeLifeMessages(HWND target, const std::function<void()>& pump) {
  std::vector<unsigned char> buffer(4096, 0xA5);
  CREATESTRUCTW named = {};
  named.lpCreateParams = buffer.data();
  named.lpszName = L"forged";
  named.lpszClass = L"forged";
  CREATESTRUCTW empty = {};
  FromElsewhere(
      [&] {
        const auto send = [&](UINT msg, LPARAM lParam) {
          DWORD_PTR result = 0;
          SendMessageTimeoutW(target, msg, 0, lParam, SMTO_ABORTIFHUNG, 5000, &result);
          PostMessageW(target, msg, 0, lParam);
        };
        for (UINT msg : {WM_NCCREATE, WM_CREATE}) {
          send(msg, reinterpret_cast<LPARAM>(&named));
          send(msg, reinterpret_cast<LPARAM>(&empty));
          send(msg, 0);
        }
        send(WM_DESTROY, 0);
        send(WM_NCDESTROY, 0);
      },
      pump);
  return std::all_of(buffer.begin(), buffer.end(), [](unsigned char b) { return b == 0xA5; });
}

}  // namespace unw
