// Every window of the program in every language it carries, and in a pseudo-language whose every
// text is some 40 % longer, drawn by the real renderer with the real fonts at 96, 144 and 192 DPI:
// no text may be cut by its control, no control may run into another or out of its frame or
// window. English at 96 DPI stands exactly as designed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app_windows.h"
#include "app/frm_about.h"
#include "app/frm_break_ideas.h"
#include "app/frm_break_screen.h"
#include "app/frm_break_screen_options.h"
#include "app/frm_break_time_remaining.h"
#include "app/frm_hold_programs.h"
#include "app/frm_preferences.h"
#include "app/frm_restart_timer.h"
#include "app/frm_short_break.h"
#include "app/frm_short_breaks.h"
#include "app/frm_statistics.h"
#include "app/frm_timer.h"
#include "app/frm_unwindle.h"
#include "app/frm_working_hours.h"
#include "backends/win32/appearance_win32.h"
#include "backends/win32/automation.h"
#include "backends/win32/calendar_win32.h"
#include "backends/win32/clock_win32.h"
#include "backends/win32/control_windows.h"
#include "backends/win32/dialogs_win32.h"
#include "backends/win32/event_loop_win32.h"
#include "backends/win32/file_dialog_win32.h"
#include "backends/win32/fonts_win32.h"
#include "backends/win32/form_view_win32.h"
#include "backends/win32/languages_win32.h"
#include "backends/win32/notification_area_win32.h"
#include "backends/win32/presence_win32.h"
#include "backends/win32/scoped.h"
#include "backends/win32/settings_storage_win32.h"
#include "backends/win32/shell_win32.h"
#include "backends/win32/sound_win32.h"
#include "backends/win32/storage_win32.h"
#include "backends/win32/system_metrics_win32.h"
#include "backends/win32/text_room_win32.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"
#include "backends/win32/window_system_win32.h"
#include "backends/win32/workstation_win32.h"
#include "forms/fit.h"
#include "mo_writer.h"

namespace unw {
namespace {

// ---- The pseudo-language: the build's template with every text lengthened -------------------

std::string Unquote(const std::string& line) {
  std::string out;
  const size_t open = line.find('"'), close = line.rfind('"');
  for (size_t i = open + 1; i < close; ++i) {
    if (line[i] != '\\' || i + 1 >= close) {
      out += line[i];
      continue;
    }
    const char e = line[++i];
    out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
  }
  return out;
}

struct PotEntry {
  std::string context, id, plural;
};

std::vector<PotEntry> ReadPot(const std::string& path) {
  std::ifstream in(path);
  std::vector<PotEntry> out;
  PotEntry e;
  std::string* field = nullptr;
  auto flush = [&] {
    if (!e.id.empty()) out.push_back(e);
    e = {};
  };
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("msgctxt ", 0) == 0) {
      flush();
      e.context = Unquote(line);
      field = &e.context;
    } else if (line.rfind("msgid_plural ", 0) == 0) {
      e.plural = Unquote(line);
      field = &e.plural;
    } else if (line.rfind("msgid ", 0) == 0) {
      if (!e.id.empty()) flush();
      const std::string ctx = e.context;
      e.id = Unquote(line);
      e.context = ctx;
      field = &e.id;
    } else if (line.rfind("msgstr", 0) == 0) {
      field = nullptr;
    } else if (!line.empty() && line[0] == '"' && field) {
      *field += Unquote(line);
    } else if (line.empty()) {
      flush();
      field = nullptr;
    }
  }
  flush();
  return out;
}

// Every word some 40 % longer and its vowels accented; placeholders ("{minutes}"), access keys
// ("&S") and line ends stay as they are.
std::string Lengthen(const std::string& text) {
  static const std::map<char, std::string> accent = {
      {'a', "á"}, {'e', "ë"}, {'i', "î"}, {'o', "ö"}, {'u', "ü"}, {'y', "ý"}, {'A', "Å"},
      {'E', "É"}, {'I', "Î"}, {'O', "Ö"}, {'U', "Û"}, {'c', "ç"}, {'n', "ñ"}, {'s', "š"}};
  auto shown = [&](char c) {
    const auto it = accent.find(c);
    return it == accent.end() ? std::string(1, c) : it->second;
  };
  std::string out, word;
  auto endWord = [&] {
    if (word.empty()) return;
    const size_t more = (word.size() * 2 + 4) / 5;  // 40 %, rounded up
    for (size_t i = 0; i < more; ++i) out += shown(word[i % word.size()] | 0x20);
    word.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '{') {
      endWord();
      const size_t close = text.find('}', i);
      if (close != std::string::npos) {
        out += text.substr(i, close - i + 1);
        i = close;
        continue;
      }
    }
    if (std::isalpha(static_cast<unsigned char>(c))) {
      word += c;
      // The letter after "&" is the access key: kept as it is.
      out += i > 0 && text[i - 1] == '&' ? std::string(1, c) : shown(c);
      continue;
    }
    endWord();
    out += c;
  }
  endWord();
  return out;
}

// Every word in Chinese characters, one for each two letters (as wide as three or four Latin
// letters each, and taller); placeholders and access keys stay.
std::string InChinese(const std::string& text) {
  static const char* const kHan[] = {"休", "息", "时", "间", "开", "始", "停", "止", "设", "置",
                                     "提", "醒", "分", "钟", "屏", "幕", "声", "音", "窗", "口"};
  std::string out;
  size_t letters = 0, next = 0;
  auto endWord = [&] {
    for (size_t i = 0; i < (letters + 1) / 2; ++i) out += kHan[next++ % std::size(kHan)];
    letters = 0;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '{' && text.find('}', i) != std::string::npos) {
      endWord();
      const size_t close = text.find('}', i);
      out += text.substr(i, close - i + 1);
      i = close;
    } else if (c == '&' && i + 1 < text.size() && text[i + 1] != '&') {
      endWord();
      out += text.substr(i, 2);  // the access key, as Chinese programs keep it: a Latin letter
      ++i;
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      ++letters;
    } else {
      endWord();
      if (c != ' ') out += c;
    }
  }
  endWord();
  return out;
}

Texts PseudoLanguage() {
  std::vector<MoMessage> messages = {
      {"",
       "Content-Type: text/plain; charset=UTF-8\nLanguage: qps\nX-Language-Name: Pseudo\n"
       "Plural-Forms: nplurals=2; plural=(n != 1);\n"}};
  for (const PotEntry& e : ReadPot(std::string("Z:") + UNWINDLE_POT)) {
    std::string original = e.context.empty() ? e.id : e.context + '\x04' + e.id;
    if (e.plural.empty()) {
      messages.push_back({original, Lengthen(e.id)});
    } else {
      messages.push_back({Nul({original, e.plural}), Nul({Lengthen(e.id), Lengthen(e.plural)})});
    }
  }
  // The reader looks messages up by their sorted originals, as msgfmt writes them.
  std::sort(messages.begin(), messages.end(),
            [](const MoMessage& a, const MoMessage& b) { return a.original < b.original; });
  auto catalog = Catalog::Read(WriteMo(messages, false));
  EXPECT_TRUE(catalog) << "the pseudo-language's catalogue";
  return catalog ? Texts("qps", std::move(*catalog)) : Texts();
}

// ---- What the windows show -------------------------------------------------------------------

std::string NameOf(HWND h) {
  return win32::GlobalAtomText(reinterpret_cast<WPARAM>(GetPropW(h, L"UnwindleName")));
}

// A control's window in the form's client area, in pixels (a drop-down list: its closed box).
struct Shown {
  const Control* control;
  HWND hwnd;
  RECT rect;
  bool visible;
};

std::vector<Shown> ShownControls(const Form& form) {
  HWND top = reinterpret_cast<HWND>(form.hWnd());
  std::vector<Shown> out;
  for (HWND h = GetWindow(top, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    const std::string id = NameOf(h);
    const Control* c = nullptr;
    for (const auto& each : form.controls())
      if (each->Id() == id) c = each.get();
    if (!c) continue;
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
    if (c->kind() == ControlKind::kComboBox) {
      COMBOBOXINFO info = {};
      info.cbSize = sizeof info;
      if (GetComboBoxInfo(h, &info)) r.bottom = r.top + info.rcItem.bottom + info.rcItem.top;
    }
    out.push_back({c, h, r, (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0});
  }
  return out;
}

// What the control's text needs in the font its window has, with what the control draws round
// it, as the system draws these controls (at least: the renderer may leave more).
SIZE Needed(const Shown& s, UINT dpi, SIZE given) {
  const Control& c = *s.control;
  const win32::ScopedGetDC dc(s.hwnd);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(s.hwnd, WM_GETFONT, 0, 0));
  const win32::ScopedSelect selected(dc, font);
  const std::wstring text = win32::Wide(win32::WindowText(s.hwnd));
  const int d = static_cast<int>(dpi);
  const bool wraps = c.kind() == ControlKind::kLabel &&
                     (GetWindowLongPtrW(s.hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT;
  int inside = 0;  // what the control keeps for itself across
  int down = 0;
  switch (c.kind()) {
    case ControlKind::kCheckBox:
    case ControlKind::kOption: {
      INT digit = 0;
      GetCharWidth32W(dc, L'0', L'0', &digit);
      inside = win32::SystemMetricForDpi(SM_CXMENUCHECK, dpi) + digit / 2;
      break;
    }
    case ControlKind::kButton:
      inside = 2 * (win32::SystemMetricForDpi(SM_CXEDGE, dpi) + 1);
      // A picture beside the caption: a small icon and a gap.
      if (!c.picture().empty())
        inside +=
            win32::SystemMetricForDpi(SM_CXSMICON, dpi) + win32::SystemMetricForDpi(SM_CXEDGE, dpi);
      down = 2 * win32::SystemMetricForDpi(SM_CYEDGE, dpi);
      break;
    case ControlKind::kFrame:
      inside = 2 * MulDiv(8, d, 96);
      break;
    default:
      break;
  }
  RECT rc = {0, 0, wraps ? std::max(1L, given.cx - inside) : 0, 0};
  DrawTextW(dc, text.c_str(), -1, &rc,
            DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
  if (!wraps && c.kind() == ControlKind::kLabel) {
    rc = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &rc, DT_CALCRECT | DT_LEFT | DT_EXPANDTABS);
  }
  // A frame's caption sits on its line: only its width counts.
  return {rc.right + inside, c.kind() == ControlKind::kFrame ? 0 : rc.bottom + down};
}

// How wide a caption's ink is, in pixels: from its first to its last pixel in the text's colour,
// as the control paints itself (CaptionInk: none where a window gives its frames another colour),
// or as the text alone draws in the control's font with nothing to clip it (TextInk).
struct Ink {
  long cx = 0;
};

template <typename Draw>
Ink InkOf(int w, int h, Draw draw) {
  const win32::ScopedGetDC screen(nullptr);
  BITMAPINFO bi = win32::TopDownBitmapInfo(w, h);
  void* bits = nullptr;
  const win32::ScopedGdiObj<HBITMAP> bmp(
      CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  const win32::ScopedMemDC dc(CreateCompatibleDC(screen));
  if (!bmp || !bits) return {};
  const win32::ScopedSelect selected(dc, bmp);
  RECT all = {0, 0, w, h};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const COLORREF ink = draw(static_cast<HDC>(dc));
  GdiFlush();
  const auto* px = static_cast<const uint32_t*>(bits);
  const uint32_t want = GetRValue(ink) << 16 | GetGValue(ink) << 8 | GetBValue(ink);
  int left = w, right = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((px[y * w + x] & 0xFFFFFF) == want) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  return {right < left ? 0 : right - left + 1};
}

// A frame's caption as the frame paints it: its top band, as high as a line of its font.
Ink CaptionInk(const Shown& s) {
  RECT r;
  GetClientRect(s.hwnd, &r);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(s.hwnd, WM_GETFONT, 0, 0));
  TEXTMETRICW tm = {};
  {
    const win32::ScopedGetDC dc(s.hwnd);
    const win32::ScopedSelect selected(dc, font);
    GetTextMetricsW(dc, &tm);
  }
  return InkOf(r.right, std::min<int>(r.bottom, tm.tmHeight), [&](HDC dc) {
    SendMessageW(s.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    return GetSysColor(COLOR_BTNTEXT);
  });
}

Ink TextInk(const Shown& s) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(s.hwnd, WM_GETFONT, 0, 0));
  const std::wstring text = win32::Wide(win32::WindowText(s.hwnd));
  return InkOf(1000, 100, [&](HDC dc) {
    const win32::ScopedSelect selected(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT at = {20, 20, 1000, 100};
    DrawTextW(dc, text.c_str(), -1, &at, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
    return GetSysColor(COLOR_BTNTEXT);
  });
}

// Whether the control shows its caption: a button with one shows it (beside its picture, if it
// has one; a picture button without a caption has its tooltip for window text, not shown).
bool ShowsCaption(const Control& c) {
  return c.kind() == ControlKind::kButton ? !c.caption().empty() : HoldsText(c);
}

std::string Rect(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool operator==(const RECT& a, const RECT& b) {
  return EqualRect(&a, &b) != FALSE;
}

bool Within(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Inside(const Control& c, const Control& outer) {
  for (const Control* p = c.parent(); p; p = p->parent())
    if (p == &outer) return true;
  return false;
}

std::string Quoted(HWND h) {
  std::string t = win32::WindowText(h);
  for (char& ch : t) ch = ch == '\r' || ch == '\n' ? ' ' : ch;
  return "\"" + t + "\"";
}

// The faults of one form as it stands, each a line naming the form, control, language and DPI;
// placings the design itself has in English at 96 DPI (`designed`) are not faults.
struct Judge {
  std::set<std::string> faults;
  std::map<std::string, std::set<std::string>> designed;  // by form: "overlap a b", "out c"

  void Look(const Form& form, const std::string& lang, UINT dpi, bool baseline) {
    const std::string where = form.name() + " [" + lang + " " + std::to_string(dpi) + " dpi] ";
    const std::vector<Shown> shown = ShownControls(form);
    RECT client;
    GetClientRect(reinterpret_cast<HWND>(form.hWnd()), &client);
    std::set<std::string>& ok = designed[form.name()];
    HWND top = reinterpret_cast<HWND>(form.hWnd());
    RECT window;
    GetWindowRect(top, &window);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(top, MONITOR_DEFAULTTOPRIMARY), &mi);
    const bool cutByScreen = window.right - window.left >= mi.rcMonitor.right - mi.rcMonitor.left ||
                             window.bottom - window.top >= mi.rcWork.bottom - mi.rcWork.top;
    auto fault = [&](const std::string& key, const std::string& text) {
      if (baseline)
        ok.insert(key);
      else if (!ok.count(key))
        faults.insert(where + text);
    };
    for (const Shown& s : shown) {
      const Control& c = *s.control;
      const SIZE given = {s.rect.right - s.rect.left, s.rect.bottom - s.rect.top};
      if (ShowsCaption(c) && !win32::WindowText(s.hwnd).empty()) {
        const SIZE need = Needed(s, dpi, given);
        if (need.cx > given.cx || need.cy > given.cy)
          faults.insert(where + c.Id() + " " + Quoted(s.hwnd) + " needs " +
                        std::to_string(need.cx) + "x" + std::to_string(need.cy) + ", has " +
                        std::to_string(given.cx) + "x" + std::to_string(given.cy));
        // A frame may clip its caption short of its edge: its ink as painted, against the text's.
        if (c.kind() == ControlKind::kFrame) {
          const long drawn = CaptionInk(s).cx, whole = TextInk(s).cx;
          if (drawn > 0 && drawn < whole)
            faults.insert(where + c.Id() + " " + Quoted(s.hwnd) + " draws " +
                          std::to_string(drawn) + " of its caption's " + std::to_string(whole) +
                          " pixels");
        }
      }
      if (!s.visible) continue;
      RECT outer = client;
      for (const Shown& p : shown)
        if (p.control == c.parent()) outer = p.rect;
      // A window larger than the screen (a design too large for this DPI on the small screen
      // of the test) is cut by the screen, not by its texts.
      if (!Within(s.rect, outer) && !(outer == client && cutByScreen))
        fault("out " + c.Id(), c.Id() + " " + Rect(s.rect) + " leaves " +
                                   (c.parent() ? c.parent()->Id() : "the form") + " " +
                                   Rect(outer));
      for (const Shown& t : shown) {
        if (&t <= &s || !t.visible || Inside(c, *t.control) || Inside(*t.control, c)) continue;
        if (c.parent() != t.control->parent() || !Overlap(s.rect, t.rect)) continue;
        fault(
            "overlap " + c.Id() + " " + t.control->Id(),
            c.Id() + " " + Quoted(s.hwnd) + " runs into " + t.control->Id() + " " + Quoted(t.hwnd));
      }
    }
  }

  // English at 96 DPI: every control where its design puts it, the form as large as designed.
  void AsDesigned(const Form& form) {
    for (const Shown& s : ShownControls(form)) {
      RECT twips = {s.control->left(), s.control->top(), 0, 0};
      for (const Control* p = s.control->parent(); p; p = p->parent()) {
        twips.left += p->left();
        twips.top += p->top();
      }
      twips.right = twips.left + s.control->width();
      twips.bottom = twips.top + s.control->height();
      const RECT px = {win32::TwipsToPixels(twips.left, 96), win32::TwipsToPixels(twips.top, 96),
                       win32::TwipsToPixels(twips.right, 96),
                       win32::TwipsToPixels(twips.bottom, 96)};
      const bool combo = s.control->kind() == ControlKind::kComboBox;
      if (s.rect.left != px.left || s.rect.top != px.top || s.rect.right != px.right ||
          (!combo && s.rect.bottom != px.bottom))
        faults.insert(form.name() + " [en 96 dpi] " + s.control->Id() + " moved from its design");
    }
  }
};

// ---- The program, built on the real back end -----------------------------------------------

struct Program {
  explicit Program(UINT dpi) {
    view.ForceDpi(dpi);
    loop.SetPreTranslate([this](MSG& msg) { return view.PreTranslate(msg); });
  }
  ~Program() { view.DestroyAll(); }
  Win32Clock clock;
  Trace trace{nullptr, ""};
  Win32EventLoop loop{clock, trace};
  Win32FormView view{trace};
  Win32Dialogs dialogs{trace};
  Win32WindowSystem windows{trace, view};
  Win32Workstation workstation{trace};
  Win32NotificationArea tray{trace, view};
  Win32SoundPlayer sound{trace, loop};
  Win32SystemMetrics metrics;
  Win32FileDialog files{trace};
  Win32Shell shell{trace};
  Win32Presence presence{trace};
  Win32Calendar calendar;
  Win32Storage storage{trace};
  Win32SettingsStorage settingsStorage{trace};
  Win32StartupLaunch startupLaunch{trace};
  Win32Appearance appearance{trace};
  Win32Languages languages{trace};
  App app{Services{loop, view, dialogs, windows, workstation, tray, sound, metrics, files, shell,
                   presence, calendar, trace, storage, settingsStorage, startupLaunch, appearance,
                   languages}};
};

TEST(LayoutTest, EveryWindowInEveryLanguageHoldsItsTextsAt96144And192Dpi) {
  // Each language: its tag and what it says.
  std::vector<std::pair<std::string, Texts>> spoken = {{"en", Texts()}};
  {
    Trace quiet(nullptr, "");
    Win32Languages carried(quiet);
    for (const CarriedLanguage& l : ReadCatalogues(carried.Catalogues(), [](size_t) {}))
      spoken.emplace_back(l.tag, Texts(l.tag, l.catalog));
  }
  spoken.emplace_back("qps", PseudoLanguage());
  // And every caption lengthened as the window stands, marked for translation or not yet: each
  // window laid out again as its texts change.
  spoken.emplace_back("qps-all", Texts());
  // And every caption in Chinese characters: their lines are taller than the Latin ones.
  spoken.emplace_back("qps-han", Texts());
  ASSERT_GE(spoken.size(), 2u + UNWINDLE_CATALOGUE_COUNT);

  // The controls as the program has them: common controls 6, which its manifest asks for.
  ACTCTXW ctx = {};
  ctx.cbSize = sizeof ctx;
  const std::wstring manifest = win32::Wide(std::string("Z:") + UNWINDLE_MANIFEST);
  ctx.lpSource = manifest.c_str();
  HANDLE actCtx = CreateActCtxW(&ctx);
  ASSERT_NE(actCtx, INVALID_HANDLE_VALUE) << UNWINDLE_MANIFEST;
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(actCtx, &cookie));
  Judge judge;
  for (UINT dpi : {96u, 144u, 192u}) {
    Program program(dpi);
    App& app = program.app;
    app.Start();  // the main window, after its splash
    BreakScreen screen(app);
    FrmBreakScreen breakScreen(app, screen);
    std::vector<Form*> dialogs = EveryOtherWindow(app);
    dialogs.push_back(&breakScreen);
    for (const auto& [tag, texts] : spoken) {
      app.texts = texts;
      app.frmTimer().Relabel();
      auto lengthen = [&tag](Form& f) {
        if (tag != "qps-all" && tag != "qps-han") return;
        for (const auto& c : f.controls())
          if (HoldsText(*c))
            c->SetCaption(tag == "qps-han" ? InChinese(c->caption()) : Lengthen(c->caption()));
      };
      lengthen(app.frmTimer());
      const bool baseline = dpi == 96 && tag == "en";
      judge.Look(app.frmTimer(), tag, dpi, baseline);
      if (baseline) judge.AsDesigned(app.frmTimer());
      for (Form* f : dialogs) {
        f->Load();
        ASSERT_TRUE(f->loaded()) << f->name();
        lengthen(*f);
        judge.Look(*f, tag, dpi, baseline);
        if (baseline) judge.AsDesigned(*f);
        f->Unload();
      }
    }
    app.frmTimer().Unload(kUnloadAppTaskManager);
  }
  std::string report;
  for (const std::string& f : judge.faults) report += f + "\n";
  DeactivateActCtx(0, cookie);
  ReleaseActCtx(actCtx);
  EXPECT_TRUE(judge.faults.empty()) << judge.faults.size() << " faults:\n" << report;
}

// Chinese and Japanese in the windows' fonts: each character drawn is a glyph of its own (a font
// without it would draw nothing, or the same empty box for each), and measuring sees it as drawn.
TEST(LayoutTest, ChineseAndJapaneseDrawInTheWindowsFonts) {
  NONCLIENTMETRICSW ncm = {};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  const std::string dialogs = win32::FieldText(ncm.lfMessageFont.lfFaceName, LF_FACESIZE);
  // The title bars' font too: the caption font, bold.
  const std::string captions = win32::FieldText(ncm.lfCaptionFont.lfFaceName, LF_FACESIZE);
  for (const auto& [face, bold] :
       {std::pair{dialogs, false}, std::pair{captions, true},
        std::pair{std::string("MS Sans Serif"), false}, std::pair{std::string("Arial"), false}}) {
    Font font;
    font.name = face;
    font.size = 9;
    font.bold = bold;
    std::set<std::vector<uint32_t>> shapes;
    const std::vector<std::string> characters = {"中", "文", "简", "体", "日", "本", "ベ", "ル"};
    for (const std::string& ch : characters) {
      const SIZE size = win32::TextPixels(font, ch, 96);
      const int w = size.cx + 4, h = size.cy + 4;
      BITMAPINFO bi = win32::TopDownBitmapInfo(w, h);
      void* bits = nullptr;
      const win32::ScopedGetDC screen(nullptr);
      const win32::ScopedMemDC dc(CreateCompatibleDC(screen));
      const win32::ScopedGdiObj<HBITMAP> bmp(
          CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
      const win32::ScopedSelect selected(dc, bmp);
      const win32::ScopedGdiObj<HFONT> gdiFont = win32::CreateModelFont(font, 96);
      const win32::ScopedSelect fontIn(dc, gdiFont);
      RECT all = {0, 0, w, h};
      FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      DrawTextW(dc, win32::Wide(ch).c_str(), -1, &all, DT_LEFT | DT_TOP | DT_NOCLIP);
      GdiFlush();
      const auto* px = static_cast<const uint32_t*>(bits);
      std::vector<uint32_t> shape(px, px + w * h);
      int ink = 0, right = 0;
      for (int i = 0; i < w * h; ++i) {
        if ((shape[i] &= 0xFFFFFF) == 0xFFFFFF) continue;
        ++ink;
        right = std::max(right, i % w + 1);
      }
      EXPECT_GT(ink, 8) << face << ": " << ch << " draws nothing";
      // A CJK character is about as wide as the font's size (an em): 12 pixels at 9 points.
      EXPECT_GE(size.cx * 4, 12 * 3)
          << face << ": " << ch << " measures " << size.cx << "x" << size.cy;
      EXPECT_LE(right, size.cx) << face << ": " << ch << " draws beyond what it measures";
      shapes.insert(shape);
    }
    EXPECT_EQ(shapes.size(), characters.size()) << face << " draws some characters alike (boxes)";
  }
}

}  // namespace
}  // namespace unw
