#include "tray/tray_icon.h"

#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tray/tray_animation.h"

namespace unw {

namespace {

constexpr const char* kExplorerAdvanced =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
// The callback version the program asks for (the classic mouse messages).
constexpr uint32_t kNotifyIconVersion = 3;
constexpr uint32_t kNisSharedIcon = 2;

std::string Field(const std::string& text, int width) {
  return FixedField(text + '\0', width);
}

}  // namespace

TrayIcon::TrayIcon(NotificationArea& shell, SettingsStore& store, const Settings& settings)
    : shell_(shell), store_(store), settings_(settings) {}

void TrayIcon::Send(TrayCommand command) {
  shell_.NotifyIcon(command, record_);
}

void TrayIcon::Identify() {
  record_.cbSize = recordSize_;
  record_.uID = 1;
}

void TrayIcon::SelectTrayRecordSize() {
  if (ShellVersionAtLeast(6))
    recordSize_ = kTrayRecordSizeFull;
  else if (ShellVersionAtLeast(5))
    recordSize_ = kTrayRecordSizeV2;
  else
    recordSize_ = kTrayRecordSizeV1;
}

bool TrayIcon::ShellVersionAtLeast(int16_t major) {
  uint32_t ms = 0;
  if (!shell_.ShellFileVersionMS(ms)) return false;
  return static_cast<int16_t>(ms >> 16) >= major;
}

bool TrayIcon::BalloonTipsAllowedBySystem() {
  return store_.ReadDwordValue(kHkeyCurrentUser, kExplorerAdvanced, "EnableBalloonTips", -1) != 0;
}

void TrayIcon::AddTrayIcon(std::uintptr_t hwnd, std::uintptr_t icon, const std::string& tip,
                           TrayActions& actions) {
  if (recordSize_ == 0) SelectTrayRecordSize();
  actions_ = &actions;
  record_.hWnd = hwnd;
  Identify();
  record_.uFlags = kNifBase;
  record_.dwState = kNisSharedIcon;
  record_.hIcon = icon;
  record_.dwInfoFlags = kNiifNone;
  record_.szInfoTitle = Field("", kInfoTitleChars);
  record_.szInfo = Field("", kInfoChars);
  record_.szTip = Field(tip, kTipChars);
  record_.uTimeout = kNotifyIconVersion;
  Send(TrayCommand::kAdd);
  Send(TrayCommand::kSetVersion);
  shell_.Subscribe(hwnd, [this](TrayEvent e) { OnEvent(e); });
}

void TrayIcon::RemoveTrayIcon() {
  Identify();
  Send(TrayCommand::kDelete);
  shell_.Unsubscribe(record_.hWnd);
  actions_ = nullptr;
}

void TrayIcon::ModifyTrayIcon() {
  Send(TrayCommand::kModify);
}

void TrayIcon::ShowBalloonTip(uint32_t infoFlags, const std::string& title,
                              const std::string& text) {
  Identify();
  record_.uFlags = kNifBase | kNifState | kNifInfo;
  record_.dwInfoFlags = infoFlags;
  record_.szInfoTitle = Field(title, kInfoTitleChars);
  record_.szInfo = Field(text, kInfoChars);
  Send(TrayCommand::kModify);
  // Sent once: a later modification (every tick of a countdown) must not show it again.
  record_.uFlags = kNifBase;
  balloonShowing_ = true;
}

void TrayIcon::ClearBalloonTip(std::uintptr_t icon, const std::string& tip, bool takeDown) {
  const bool onScreen = balloonShowing_ && takeDown;
  balloonShowing_ = false;
  Identify();
  // An empty balloon text with the balloon flag takes a balloon off the screen.
  record_.uFlags = onScreen ? kNifBase | kNifInfo : kNifBase;
  SetIcon(icon);
  SetTip(tip);
  record_.dwInfoFlags = kNiifNone;
  record_.szInfoTitle = Field("", kInfoTitleChars);
  record_.szInfo = Field("", kInfoChars);
  Send(TrayCommand::kModify);
  record_.uFlags = kNifBase;
}

void TrayIcon::OnEvent(TrayEvent event) {
  if (event == TrayEvent::kRecreated) {
    // The icon went with the old taskbar: add it again as it stands.
    Send(TrayCommand::kAdd);
    Send(TrayCommand::kSetVersion);
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
    case TrayEvent::kBalloonClicked:
    case TrayEvent::kBalloonEnded:
      actions_->EndBalloonAlert();
      break;
    case TrayEvent::kRecreated:
      break;
  }
}

void TrayIcon::SetTip(const std::string& text) {
  record_.szTip = Field(text, kTipChars);
}

void TrayIcon::SetIcon(std::uintptr_t icon) {
  if (icon) record_.hIcon = icon;
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
  static constexpr uint32_t kIcons[] = {kNiifInfo, kNiifWarning, kNiifError};
  ShowBalloonTip(kIcons[step < 0 ? 0 : step > 2 ? 2 : step], title, text);
}

void TrayIcon::BalloonOver(const std::string& tip) {
  ClearBalloonTip(GetTrayIconPicture(kPictureIdle), tip);
}

void TrayIcon::AlertOver(const std::string& tip) {
  const std::uintptr_t idle = GetTrayIconPicture(kPictureIdle);
  if (balloonShowing_)
    ClearBalloonTip(idle, tip, /*takeDown*/ true);
  else
    SetIcon(idle);  // not left on the flashing alert picture
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
