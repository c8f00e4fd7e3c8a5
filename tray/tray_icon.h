// The notification-area icon: the picture and tooltip it shows, balloon
// notices, the picture animation, and the dispatch of the icon's events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/notification_area.h"

namespace unw {

struct Settings;

// Picture modes of GetTrayIconPicture.
inline constexpr int16_t kPictureIdle = 0;
inline constexpr int16_t kPictureCurrent = 2;
inline constexpr int16_t kPictureAlert = 3;

// What the cycle is doing, as far as the icon's pictures go.
enum class TrayScene {
  kStopped,   // nothing counts
  kCounting,  // a countdown runs (work, a reminder, a break)
  kPaused,    // the work countdown stands
  kAlert,     // the time is up: an alert, a hold, a question
};

// What the program does when the user acts on its icon.
class TrayActions {
 public:
  virtual ~TrayActions() = default;
  // Whether a tray alert waits for the user's click (the icon flashes).
  virtual bool AlertPending() const = 0;
  // A click while an alert waits: the break prompt, then its answer.
  virtual void AcknowledgeTrayAlert() = 0;
  // A click otherwise: the main window comes back.
  virtual void RestoreFromTray() = 0;
  // A right click otherwise: the tray popup menu.
  virtual void ShowTrayMenu() = 0;
  // The shell opens the tray menu itself: its items as a right click would show them, no popup.
  virtual void PrepareTrayMenu() = 0;
  // The balloon notice was clicked, or its time is over.
  virtual void EndBalloonAlert() = 0;
};

// The most a tray tooltip shows, in characters of UTF-16.
inline constexpr size_t kMaxTipChars = 127;
// `tip` as the tray shows it: a longer one (a translation can be) cut at its last word that fits,
// never inside a character.
std::string FitTip(const std::string& tip);

class TrayIcon {
 public:
  TrayIcon(NotificationArea& shell, const Settings& settings);
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon of window `hwnd` with `icon` and the tooltip `tip`; its events go to `actions`.
  void AddTrayIcon(std::uintptr_t hwnd, std::uintptr_t icon, const std::string& tip,
                   TrayActions& actions);
  // Removes the icon; no more events arrive.
  void RemoveTrayIcon();
  // Shows the picture and tooltip as they stand (while the icon is there).
  void ModifyTrayIcon();
  // Shows a balloon notice, once: later modifications do not repeat it.
  void ShowBalloonTip(NoticeKind kind, const std::string& title, const std::string& text);
  // Whether a balloon notice can be shown: the shell shows them and the user's system-wide
  // switch allows them.
  bool NoticesAllowed();
  // An event of the icon, dispatched by whether an alert waits.
  void OnEvent(TrayEvent event);

  // What the cycle shows; the chosen set decides the pictures (the traffic lights show the state
  // itself, the other sets animate). Each publishes unless it says otherwise.
  // A countdown goes on (started, resumed): the traffic lights turn green at once; the other sets
  // keep the tooltip for their next tick, which publishes it.
  void CountdownGoesOn(const std::string& tip);
  // A countdown starts from its first picture (a reminder, a break): the traffic lights show
  // green with `tip` at once; the other sets go back to their first frame for the next tick.
  void CountdownStartsAfresh(const std::string& tip);
  // The work countdown stands: the traffic lights show amber, the other sets keep their picture.
  void CountdownPaused(const std::string& tip);
  // One second of a countdown: the next picture, with `tip`.
  void CountdownTicked(const std::string& tip) { RefreshTrayIcon(tip); }
  // Nothing counts now: the first picture of the set.
  void ShowFirstFrame(const std::string& tip);
  // An alert, or one that waits: the set's idle picture; the frame stays for the countdown after.
  void ShowIdle(const std::string& tip) { ShowPicture(kPictureIdle, tip); }
  // Only the tooltip changes.
  void ShowTip(const std::string& tip);
  // A balloon notice for a tray alert, its icon by the reminders' step (SnoozeStep).
  void ShowAlertBalloon(int step, const std::string& title, const std::string& text);
  // The balloon's turn is over: the idle picture and `tip`.
  void BalloonOver(const std::string& tip);
  // The alert is over: the idle picture, for the next send; a balloon on the screen goes at once.
  void AlertOver(const std::string& tip);
  // The icon set changed: the same scene in the new set's pictures, without moving on by a frame;
  // a stopped timer shows `tip`.
  void SetChanged(TrayScene scene, const std::string& tip);

  // The tooltip and picture, published by the next send.
  void SetTip(const std::string& text);
  void SetIcon(std::uintptr_t icon);  // 0 keeps the picture shown
  // Handle of the picture `mode` names in the chosen set, or 0 for none.
  std::uintptr_t GetTrayIconPicture(int16_t mode) const;
  // Stores the picture `mode` names and the tooltip `tip`, and publishes.
  void ShowPicture(int16_t mode, const std::string& tip);
  // Puts the frame where a countdown starts: the first picture, or green for the traffic
  // lights. A set the program does not know keeps its frame.
  void RestartFrames();
  // Advances the frame for the chosen set (the traffic lights show amber when `paused`, else
  // green), stores `text` as the tooltip with the frame's picture and publishes.
  void RefreshTrayIcon(const std::string& text, bool paused = false);
  // Shows the current frame of the chosen set without advancing it; a frame the set does not
  // animate falls back to 0. Publishes.
  void ShowCurrentFrame();
  // One blink of a flashing icon: the alert and the idle picture by turns. Publishes.
  void FlashStep();

  int16_t frame() const { return frame_; }
  void SetFrame(int16_t frame) { frame_ = frame; }
  bool balloonShowing() const { return balloonShowing_; }
  // The tooltip and picture as the program holds them (published or not yet).
  const std::string& tip() const { return tip_; }
  std::uintptr_t picture() const { return picture_; }

 private:
  NotificationArea& shell_;
  const Settings& settings_;
  TrayActions* actions_ = nullptr;
  std::uintptr_t window_ = 0;
  bool added_ = false;  // between AddTrayIcon and RemoveTrayIcon
  std::uintptr_t picture_ = 0;
  std::string tip_;
  bool balloonShowing_ = false;
  int16_t frame_ = 0;
  int16_t moonTicks_ = 0;  // ticks since the moon last moved on
  bool flashOn_ = false;   // which picture the flashing icon shows
};

}  // namespace unw
