#include "backends/win32/file_dialog_win32.h"

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <vector>

#include "backends/win32/automation.h"
#include "backends/win32/pictures.h"
#include "backends/win32/pool_work.h"
#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"

namespace unw {

namespace {

// The file name buffer; what the dialog is given to start with fits MAX_PATH.
constexpr size_t kFileChars = 1024;
// The longest path the dialog answers with on a change of selection.
constexpr size_t kLongestPath = 32768;
// The longest title shown.
constexpr size_t kTitleChars = 256;
// One filter, the list ended by an empty entry (the literal adds the last NUL).
constexpr wchar_t kFilter[] = L"Windows audio file (*.wav)\0*.wav\0";
constexpr DWORD kFlags = OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                         OFN_EXPLORER | OFN_LONGNAMES;
static_assert(kFlags == 0x281824);
// The dialog grows at least by this much, in pixels at 96 DPI.
constexpr int kMinGrowth = 15;
constexpr int kButtonSide = 22;

// The preview row of the one chooser that is open; the hook and the button
// procedures find it here (the dialog is modal, so there is one at a time).
struct Chooser {
  SoundPreviewSink& sink;
  HWND dialog = nullptr;
  HWND label = nullptr, play = nullptr, stop = nullptr;
  WNDPROC previousPlay = nullptr, previousStop = nullptr;
  // Kept until the dialog and the controls showing them are gone.
  win32::ScopedGdiObj<HFONT> font{};
  win32::ScopedIcon playIcon{}, stopIcon{};
  SIZE labelSize = {0, 0};
  bool grown = false;
};

Chooser* current = nullptr;

int Scaled(int pixels, UINT dpi) {
  return MulDiv(pixels, static_cast<int>(dpi), 96);
}

// The label's font: the dialog's own, at normal weight.
win32::ScopedGdiObj<HFONT> LabelFont(HWND dialog) {
  LOGFONTW lf = {};
  HFONT own = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  if (!own || GetObjectW(own, sizeof lf, &lf) != sizeof lf) {
    lf = LOGFONTW{};
    lf.lfHeight = 14;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  }
  lf.lfWeight = FW_NORMAL;
  return win32::ScopedGdiObj<HFONT>(CreateFontIndirectW(&lf));
}

// The lowest edge and the leftmost edge of the dialog's own visible controls, in its client
// coordinates. The hook's child dialog (empty, 0 x 0 under Wine) and the preview row do not
// count.
void OwnControlsExtent(HWND dialog, std::initializer_list<HWND> ours, int& bottom, int& left) {
  bottom = 0;
  left = -1;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    // The style, not IsWindowVisible: the dialog itself is not shown yet.
    const bool shown = GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE;
    if (!shown || std::find(ours.begin(), ours.end(), child) != ours.end()) continue;
    RECT r;
    GetWindowRect(child, &r);
    if (r.right <= r.left || r.bottom <= r.top) continue;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    bottom = std::max(bottom, static_cast<int>(r.bottom));
    if (left < 0 || r.left < left) left = r.left;
  }
  if (left < 0) left = 0;
}

LRESULT CALLBACK PreviewButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Chooser* c = current;
  WNDPROC previous = nullptr;
  const bool play = c && hwnd == c->play;
  if (c) previous = play ? c->previousPlay : hwnd == c->stop ? c->previousStop : nullptr;
  if (!previous) return DefWindowProcW(hwnd, msg, wParam, lParam);
  // The button is subclassed once it exists, and goes when the dialog, hidden by its end, is
  // destroyed: any other creation or destruction message comes from elsewhere.
  const bool dialogEnding = !IsWindowVisible(c->dialog);
  if (msg == WM_NCCREATE || msg == WM_CREATE ||
      ((msg == WM_DESTROY || msg == WM_NCDESTROY) && !dialogEnding))
    return 0;
  if (msg == WM_LBUTTONUP || (msg == WM_KEYUP && wParam == VK_SPACE)) {
    if (play)
      c->sink.PlayPressed();
    else
      c->sink.StopPressed();
  } else if (msg == WM_DESTROY) {
    // The button goes with the dialog: give it back its own procedure and its name's atom.
    win32::ClearAutomationName(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
}

HWND PreviewButton(HWND dialog, const wchar_t* text, int side, HICON icon, WNDPROC& previous) {
  HWND b = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_ICON, 0, 0,
                           side, side, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!b) return nullptr;
  if (icon) SendMessageW(b, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviewButtonProc)));
  return b;
}

// Makes room below the dialog's own controls and puts the preview row there, the dialog
// centred on the screen. Run when the hook starts and again once the dialog has laid out its
// own controls (CDN_INITDONE): the system may still move them after WM_INITDIALOG.
void PlacePreviewRow(Chooser& c, HWND hookChild) {
  HWND dialog = c.dialog;
  const UINT dpi = win32::DpiOf(dialog);
  const int side = Scaled(kButtonSide, dpi);
  const int gap = Scaled(6, dpi);

  int ownBottom = 0, ownLeft = 0;
  OwnControlsExtent(dialog, {hookChild, c.label, c.play, c.stop}, ownBottom, ownLeft);
  RECT wr, cr;
  GetWindowRect(dialog, &wr);
  GetClientRect(dialog, &cr);
  // The row sits below the lowest control with a margin to the bottom edge; the dialog grows
  // by what that needs, and the first time at least by the usual strip.
  const int rowTop = ownBottom + gap;
  const int needed = rowTop + side + Scaled(9, dpi) - cr.bottom;
  const int grow = std::max(c.grown ? 0 : Scaled(kMinGrowth, dpi), needed);
  c.grown = true;
  const int w = wr.right - wr.left, h = wr.bottom - wr.top + grow;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  MoveWindow(dialog, x, y, w, h, TRUE);

  // In line with the dialog's own "File name:" label where it has one.
  int labelLeft = std::max(ownLeft, Scaled(9, dpi));
  if (HWND fileLabel = GetDlgItem(dialog, stc3)) {
    RECT r;
    GetWindowRect(fileLabel, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    if (r.right > r.left) labelLeft = r.left;
  }
  if (c.label) {
    MoveWindow(c.label, labelLeft, rowTop + (side - c.labelSize.cy) / 2, c.labelSize.cx,
               c.labelSize.cy, TRUE);
  }
  const int playLeft = labelLeft + c.labelSize.cx + gap;
  if (c.play) MoveWindow(c.play, playLeft, rowTop, side, side, TRUE);
  if (c.stop) MoveWindow(c.stop, playLeft + side, rowTop, side, side, TRUE);
}

// Creates the "Preview:" label and the Play and Stop buttons on the dialog itself (the hook's
// own child dialog has no room of its own).
void AddPreviewRow(Chooser& c) {
  HWND dialog = c.dialog;
  const UINT dpi = win32::DpiOf(dialog);
  const int side = Scaled(kButtonSide, dpi);
  c.font = LabelFont(dialog);
  const wchar_t kLabel[] = L"Preview:";
  SIZE text = {Scaled(44, dpi), Scaled(13, dpi)};
  if (win32::ScopedGetDC dc(dialog); dc) {
    win32::ScopedSelect font(dc, c.font);
    GetTextExtentPoint32W(dc, kLabel, static_cast<int>(std::size(kLabel) - 1), &text);
  }
  c.labelSize = SIZE{text.cx + 2, text.cy};
  c.label = CreateWindowExW(0, L"STATIC", kLabel, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 0, 0,
                            c.labelSize.cx, c.labelSize.cy, dialog, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (c.label && c.font)
    SendMessageW(c.label, WM_SETFONT, reinterpret_cast<WPARAM>(c.font.get()), TRUE);

  const int iconSide = Scaled(16, dpi);
  c.playIcon = win32::PictureIcon("play", iconSide);
  c.stopIcon = win32::PictureIcon("stop", iconSide);
  c.play = PreviewButton(dialog, L"Play", side, c.playIcon, c.previousPlay);
  c.stop = PreviewButton(dialog, L"Stop", side, c.stopIcon, c.previousStop);
  win32::SetAutomationName(c.play, "cmdPreviewPlay");
  win32::SetAutomationName(c.stop, "cmdPreviewStop");
}

UINT_PTR CALLBACK Hook(HWND hdlg, UINT msg, WPARAM /*wParam*/, LPARAM lParam) {
  Chooser* c = current;
  if (!c) return 0;
  switch (msg) {
    case WM_INITDIALOG: {
      HWND dialog = GetParent(hdlg);
      if (!dialog) return 0;
      c->dialog = dialog;
      AddPreviewRow(*c);
      PlacePreviewRow(*c, hdlg);
      return 1;
    }
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const OFNOTIFYW*>(lParam);
      if (!n || !c->dialog) return 0;
      if (n->hdr.code == static_cast<UINT>(CDN_INITDONE)) {
        PlacePreviewRow(*c, hdlg);
        return 0;
      }
      if (n->hdr.code != static_cast<UINT>(CDN_SELCHANGE)) return 0;
      // A wide dialog answers in UTF-16, sized in characters; one that needs more says how much.
      std::vector<wchar_t> path(MAX_PATH * 2, L'\0');
      LRESULT got = SendMessageW(c->dialog, CDM_GETFILEPATH, path.size() - 1,
                                 reinterpret_cast<LPARAM>(path.data()));
      if (got >= static_cast<LRESULT>(path.size()) && got < static_cast<LRESULT>(kLongestPath)) {
        path.assign(static_cast<size_t>(got) + 1, L'\0');
        got = SendMessageW(c->dialog, CDM_GETFILEPATH, path.size() - 1,
                           reinterpret_cast<LPARAM>(path.data()));
      }
      const bool whole = got > 0 && got < static_cast<LRESULT>(path.size());
      c->sink.SelectionChanged(whole ? win32::FieldText(path.data(), path.size()) : std::string());
      return 0;
    }
    default:
      return 0;
  }
}

// Whether `text` fits a path buffer of MAX_PATH with its NUL, and has no NUL of its own.
bool FitsPath(const std::string& text) {
  const std::wstring wide = win32::Wide(text);
  return wide.size() < MAX_PATH && wide.find(L'\0') == std::wstring::npos;
}

}  // namespace

bool Win32FileDialog::FolderExists(const std::string& path) {
  if (!FitsPath(path) || path.empty()) return false;
  struct Answer {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false, folder = false;
  };
  auto answer = std::make_shared<Answer>();
  const bool queued = win32::RunOnPool([answer, wide = win32::Wide(path)] {
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    std::lock_guard<std::mutex> lock(answer->mutex);
    answer->folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    answer->done = true;
    answer->cv.notify_all();
  });
  if (!queued) return false;
  std::unique_lock<std::mutex> lock(answer->mutex);
  answer->cv.wait_for(lock, std::chrono::milliseconds(kFolderWaitMs), [&] { return answer->done; });
  return answer->done && answer->folder;
}

std::string Win32FileDialog::ChooseSoundFile(std::uintptr_t owner, const std::string& initialDir,
                                             const std::string& initialFile,
                                             const std::string& title, SoundPreviewSink& preview) {
  trace_.Line("files.open", {initialDir, initialFile, title});
  // Nothing the dialog is given is longer than it takes: a folder or a file name beyond MAX_PATH
  // is left out (the dialog opens at its default folder), the title is cut.
  std::vector<wchar_t> file(kFileChars, L'\0');
  if (FitsPath(initialFile)) win32::CopyToField(initialFile, file.data(), file.size());
  std::vector<wchar_t> fileTitle(kFileChars, L'\0');
  const std::wstring dir = FitsPath(initialDir) ? win32::Wide(initialDir) : std::wstring();
  std::vector<wchar_t> caption(kTitleChars, L'\0');
  win32::CopyToField(title, caption.data(), caption.size());

  OPENFILENAMEW ofn = {};
  // The layout without the Windows 2000 fields (no places bar), which every system accepts.
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  HWND ownerWnd = win32::AsHwnd(owner);
  ofn.hwndOwner = ownerWnd && IsWindow(ownerWnd) ? ownerWnd : nullptr;
  ofn.hInstance = GetModuleHandleW(nullptr);
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(kFileChars);
  ofn.lpstrFileTitle = fileTitle.data();
  ofn.nMaxFileTitle = static_cast<DWORD>(kFileChars);
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.lpstrTitle = caption.data();
  ofn.Flags = kFlags;
  ofn.lpstrDefExt = L"wav";
  ofn.lpfnHook = Hook;

  std::string result;
  {
    Chooser chooser{preview};
    Chooser* outer = current;
    current = &chooser;
    const BOOL chosen = GetOpenFileNameW(&ofn);
    current = outer;
    if (chosen) result = win32::FieldText(file.data(), file.size());
  }
  preview.Closing();
  trace_.Line("files.close", {result});
  return result;
}

std::string Win32FileDialog::ChooseSaveFile(std::uintptr_t owner, const std::string& initialDir,
                                            const std::string& initialFile,
                                            const std::string& title) {
  trace_.Line("files.save", {initialDir, initialFile, title});
  constexpr wchar_t kCsvFilter[] = L"CSV file (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
  std::vector<wchar_t> file(kFileChars, L'\0');
  win32::CopyToField(initialFile, file.data(), file.size());
  const std::wstring dir = win32::Wide(initialDir), caption = win32::Wide(title);
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  HWND ownerWnd = win32::AsHwnd(owner);
  ofn.hwndOwner = ownerWnd && IsWindow(ownerWnd) ? ownerWnd : nullptr;
  ofn.lpstrFilter = kCsvFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(kFileChars);
  // Empty: the system's own choice (the folder last used, or Documents).
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.lpstrTitle = caption.c_str();
  // The program's working folder stays where it was: it runs for days.
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
              OFN_EXPLORER | OFN_LONGNAMES;
  ofn.lpstrDefExt = L"csv";
  std::string result;
  if (GetSaveFileNameW(&ofn)) result = win32::FieldText(file.data(), file.size());
  trace_.Line("files.close", {result});
  return result;
}

std::string Win32FileDialog::ChooseProgramFile(std::uintptr_t owner, const std::string& title) {
  trace_.Line("files.open", {"", "", title});
  std::vector<wchar_t> file(kFileChars, L'\0');
  const std::wstring caption = win32::Wide(title);
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  HWND ownerWnd = win32::AsHwnd(owner);
  ofn.hwndOwner = ownerWnd && IsWindow(ownerWnd) ? ownerWnd : nullptr;
  ofn.lpstrFilter = L"Programs (*.exe)\0*.exe\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(kFileChars);
  ofn.lpstrTitle = caption.c_str();
  // Only the name is kept: the folder the user browsed to means nothing afterwards, and the
  // program's own working folder must not move with it.
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER |
              OFN_LONGNAMES | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
  const std::string result =
      GetOpenFileNameW(&ofn) ? win32::FieldText(file.data(), file.size()) : std::string();
  trace_.Line("files.close", {result});
  return result;
}

}  // namespace unw
