// What a click on the tray icon does: a waiting alert goes to the break cycle;
// otherwise the main window comes back or the tray menu opens, unless another
// window of the program is open or the exit question is up.
#pragma once

#include "tray/tray_icon.h"

namespace unw {

class App;

class TrayController : public TrayActions {
 public:
  explicit TrayController(App& app) : app_(app) {}
  bool AlertPending() const override;
  void AcknowledgeTrayAlert() override;
  void RestoreFromTray() override;
  void ShowTrayMenu() override;
  void PrepareTrayMenu() override;
  void EndBalloonAlert() override;

 private:
  // Whether the tray only answers alerts now.
  bool Busy() const;

  App& app_;
};

}  // namespace unw
