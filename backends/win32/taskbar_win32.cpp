#include "backends/win32/taskbar_win32.h"

#include <shobjidl.h>

namespace unw::win32 {

void SetTaskbarTab(HWND hwnd, bool present) {
  ITaskbarList* list = nullptr;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList,
                              reinterpret_cast<void**>(&list))) ||
      !list)
    return;
  if (SUCCEEDED(list->HrInit())) {
    if (present)
      list->AddTab(hwnd);
    else
      list->DeleteTab(hwnd);
  }
  list->Release();
}

}  // namespace unw::win32
