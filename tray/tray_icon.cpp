#include "tray/tray_icon.h"

#include <algorithm>

#include "settings/settings.h"
#include "settings/utf8_text.h"
#include "tray/tray_animation.h"

namespace unw {

TrayIcon::TrayIcon(NotificationArea& shell, const Settings& settings)
    : shell_(shell), settings_(settings) {}

bool TrayIcon::NoticesAllowed() {
  return shell_.NoticesAllowed() && shell_.UserAllowsNotices();
}

std::string FitTip(const std::string& tip) {
  size_t units = 0, cut = std::string::npos;
  for (size_t i = 0; i < tip.size();) {
    const size_t n = std::max<size_t>(Utf8SequenceAt(tip, i), 1);
    // A character past U+FFFF takes two.
    const size_t u = n == 4 ? 2 : 1;
    if (units + u > kMaxTipChars) {
      // Cut before the last blank or line end that fits; a tip of one long word, inside it.
      size_t end = cut == std::string::npos ? i : cut;
      while (end > 0 && (tip[end - 1] == ' ' || tip[end - 1] == '\n')) --end;
      return tip.substr(0, end);
    }
    if (tip[i] == ' ' || tip[i] == '\n') cut = i;
    units += u;
    i += n;
  }
  return tip;
}

void TrayIcon::AddTrayIcon(std::uintptr_t hwnd, std::uintptr_t icon, const std::string& tip,
                           TrayActions& actions) {
  actions_ = &actions;
  window_ = hwnd;
  picture_ = icon;
  tip_ = FitTip(tip);
  added_ = true;
  shell_.ShowIcon(window_, picture_, tip_);
  shell_.Subscribe(hwnd, [this](TrayEvent e) { OnEvent(e); });
}

void TrayIcon::RemoveTrayIcon() {
  shell_.RemoveIcon(window_);
  added_ = false;
  shell_.Unsubscribe(window_);
  actions_ = nullptr;
}

void TrayIcon::ModifyTrayIcon() {
  // Before the icon is added and after it is removed, there is nothing to change.
  if (added_) shell_.ShowIcon(window_, picture_, tip_);
}

void TrayIcon::ShowBalloonTip(NoticeKind kind, const std::string& title, const std::string& text) {
  if (added_) shell_.ShowNotice(window_, title, text, kind);
  balloonShowing_ = true;
}

void TrayIcon::OnEvent(TrayEvent event) {
  if (event == TrayEvent::kRecreated) {
    // The icon went with the old taskbar: add it again as it stands.
    ModifyTrayIcon();
    return;
  }
  if (!actions_) return;
  const bool pending = actions_->AlertPending();
  switch (event) {
    case TrayEvent::kLeftClick:
    case TrayEvent::kLeftDoubleClick:
    case TrayEvent::kRightDoubleClick:
      pending ? actions_->AcknowledgeTrayAlert() : actions_->RestoreFromTray();
      break;
    case TrayEvent::kRightClick:
      pending ? actions_->AcknowledgeTrayAlert() : actions_->ShowTrayMenu();
      break;
    case TrayEvent::kNoticeClicked:
      actions_->EndBalloonAlert();
      break;
    case TrayEvent::kMenuOpening:
      // The shell's menu opens whatever waits: a waiting alert is left for a click on the icon.
      actions_->PrepareTrayMenu();
      break;
    case TrayEvent::kRecreated:
      break;
  }
}

void TrayIcon::SetTip(const std::string& text) {
  tip_ = FitTip(text);
}

void TrayIcon::SetIcon(std::uintptr_t icon) {
  if (icon) picture_ = icon;
}

std::uintptr_t TrayIcon::GetTrayIconPicture(int16_t mode) const {
  const int16_t set = settings_.TrayIcon;
  const int element = TrayIconElement(set, mode, frame_);
  return element < 0 ? 0 : shell_.IconHandle(set, element);
}

void TrayIcon::ShowPicture(int16_t mode, const std::string& tip) {
  SetIcon(GetTrayIconPicture(mode));
  SetTip(tip);
  ModifyTrayIcon();
}

void TrayIcon::RestartFrames() {
  const int16_t set = settings_.TrayIcon;
  if (set >= 0 && set < kTrafficLights) frame_ = 0;
  if (set == kTrafficLights) frame_ = 1;
}

void TrayIcon::RefreshTrayIcon(const std::string& text, bool paused) {
  frame_ = NextTrayIconFrame(settings_.TrayIcon, frame_, moonTicks_, paused);
  ShowPicture(kPictureCurrent, text);
}

void TrayIcon::ShowCurrentFrame() {
  if (!IsAnimationFrame(settings_.TrayIcon, frame_)) frame_ = 0;
  SetIcon(GetTrayIconPicture(kPictureCurrent));
  ModifyTrayIcon();
}

void TrayIcon::CountdownGoesOn(const std::string& tip) {
  const int16_t set = settings_.TrayIcon;
  if (set >= 0 && set < kTrafficLights)
    SetTip(tip);  // the first tick publishes it
  else if (set == kTrafficLights)
    RefreshTrayIcon(tip);
}

void TrayIcon::CountdownStartsAfresh(const std::string& tip) {
  RestartFrames();
  if (settings_.TrayIcon == kTrafficLights) RefreshTrayIcon(tip);
}

void TrayIcon::CountdownPaused(const std::string& tip) {
  const int16_t set = settings_.TrayIcon;
  if (set >= 0 && set < kTrafficLights) {
    SetTip(tip);
    ModifyTrayIcon();
  } else if (set == kTrafficLights) {
    RefreshTrayIcon(tip, /*paused*/ true);
  }
}

void TrayIcon::ShowFirstFrame(const std::string& tip) {
  frame_ = 0;
  ShowPicture(kPictureCurrent, tip);
}

void TrayIcon::ShowTip(const std::string& tip) {
  SetTip(tip);
  ModifyTrayIcon();
}

void TrayIcon::ShowAlertBalloon(int step, const std::string& title, const std::string& text) {
  static constexpr NoticeKind kKinds[] = {NoticeKind::kInformation, NoticeKind::kWarning,
                                          NoticeKind::kError};
  ShowBalloonTip(kKinds[step < 0 ? 0 : step > 2 ? 2 : step], title, text);
}

void TrayIcon::BalloonOver(const std::string& tip) {
  // The shell takes the balloon down in its own time.
  balloonShowing_ = false;
  ShowPicture(kPictureIdle, tip);
}

void TrayIcon::AlertOver(const std::string& tip) {
  const std::uintptr_t idle = GetTrayIconPicture(kPictureIdle);
  if (balloonShowing_) {
    balloonShowing_ = false;
    if (added_) shell_.TakeDownNotice(window_);
    SetIcon(idle);
    SetTip(tip);
    ModifyTrayIcon();
  } else {
    SetIcon(idle);  // not left on the flashing alert picture
  }
}

void TrayIcon::SetChanged(TrayScene scene, const std::string& tip) {
  switch (scene) {
    case TrayScene::kStopped:
      ShowPicture(kPictureIdle, tip);
      return;
    case TrayScene::kAlert:
      // The alert goes on as it was, in the new set's pictures.
      SetIcon(GetTrayIconPicture(kPictureIdle));
      ModifyTrayIcon();
      return;
    case TrayScene::kCounting:
    case TrayScene::kPaused:
      if (settings_.TrayIcon == kTrafficLights) frame_ = scene == TrayScene::kPaused ? 2 : 1;
      ShowCurrentFrame();
      return;
  }
}

void TrayIcon::FlashStep() {
  flashOn_ = !flashOn_;
  SetIcon(GetTrayIconPicture(flashOn_ ? kPictureAlert : kPictureIdle));
  ModifyTrayIcon();
}

}  // namespace unw
