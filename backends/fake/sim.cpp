#include "backends/fake/sim.h"

#include <algorithm>
#include <stdexcept>

#include "app/frm_timer.h"

namespace unw {

FakePlatform::FakePlatform()
    : trace([this] { return loop.NowMs(); }, Trace::PathFromEnvironment()),
      view(trace),
      dialogs(trace, loop),
      windows(trace),
      workstation(trace),
      tray(trace),
      sound(trace, loop),
      files(trace, loop),
      shell(trace),
      presence(loop),
      calendar(loop),
      storage(trace),
      settings(trace),
      startup(trace) {
  trace.KeepLines(true);
  loop.SetTrace(&trace);
  files.folders.insert(workstation.appPath);
}

Services FakePlatform::services() {
  return Services{loop,  view,    dialogs,  windows, workstation, tray,
                  sound, metrics, files,    shell,   presence,    calendar,
                  trace, storage, settings, startup, appearance,  languages};
}

Sim::Sim() : app_(std::make_unique<App>(fake.services())) {
  WireOwnedDialogs();
  fake.view.onShow = [this](Form& f) {
    for (auto it = whenShown_.begin(); it != whenShown_.end(); ++it) {
      if (it->first != f.name()) continue;
      auto action = std::move(it->second);
      whenShown_.erase(it);
      // Queued, so it runs once the window waits for input like a real user's click.
      fake.loop.At(fake.loop.NowMs(), [action = std::move(action), &f] { action(f); });
      return;
    }
  };
}

void Sim::WireOwnedDialogs() {
  fake.view.onDestroy = [this](Form& f) { fake.files.OwnerDestroyed(f.hWnd()); };
  // The chooser and message boxes are modal to the program's windows, as on the real system.
  fake.view.systemDialogOpen = [this] {
    return fake.files.open != nullptr || !fake.dialogs.open.empty();
  };
}

void Sim::WhenShown(const std::string& form, std::function<void(Form&)> action) {
  whenShown_.emplace_back(form, std::move(action));
}

Sim::~Sim() {
  fake.loop.Shutdown();
}

void Sim::Launch() {
  started_ = true;
  fake.loop.Launch([this] { app_->Run(); });
}

void Sim::Start() {
  Launch();
  fake.loop.Advance(5000);
}

Form* Sim::FindForm(const std::string& name) const {
  return app_->ui.Find(name);
}

Form& Sim::form(const std::string& name) const {
  Form* f = FindForm(name);
  if (!f) throw std::logic_error(name + " is not loaded");
  return *f;
}

Control& Sim::ctl(const std::string& formName, const std::string& control, int index) const {
  return form(formName).Ctl(control, index);
}

void Sim::Click(const std::string& formName, const std::string& control, int index) {
  Control& c = ctl(formName, control, index);
  const std::string what = formName + "." + c.Id();
  if (!c.enabled() || !c.visible()) throw std::logic_error(what + " cannot be clicked");
  bool inTrayMenu = false;
  for (Control* p = c.parent(); p; p = p->parent()) inTrayMenu |= p->name() == "mPopupSys";
  if (!fake.dialogs.open.empty()) throw std::logic_error(what + ": a message box is open");
  if (!inTrayMenu && !fake.view.AcceptsInput(c.form()))
    throw std::logic_error(what + ": its window takes no input now");
  fake.presence.Input();
  // A click brings its window to the front (a tray menu item leaves that to the menu).
  if (!inTrayMenu) fake.view.Activate(&c.form());
  Do([&c] { c.Click(); });
}

void Sim::ClickChart(const std::string& formName, const std::string& control, int bar) {
  Control& c = ctl(formName, control);
  if (!c.visible() || !fake.view.AcceptsInput(c.form()))
    throw std::logic_error(formName + "." + control + " cannot be clicked");
  fake.presence.Input();
  fake.view.Activate(&c.form());
  Do([&c, bar] { c.ChartClick(bar); });
}

void Sim::ChartKey(const std::string& formName, const std::string& control, ChartStep step) {
  Control& c = ctl(formName, control);
  if (!c.visible() || !fake.view.AcceptsInput(c.form()))
    throw std::logic_error(formName + "." + control + " cannot have the keyboard");
  fake.presence.Input();
  Do([&c, step] { c.ChartKey(step); });
}

void Sim::Type(const std::string& formName, const std::string& control, const std::string& keys) {
  Control& c = ctl(formName, control);
  if (!c.enabled() || !c.visible())
    throw std::logic_error(formName + "." + control + " is not editable");
  if (!fake.view.AcceptsInput(c.form())) throw std::logic_error(formName + " takes no input now");
  fake.presence.Input();
  fake.view.Activate(&c.form());
  Do([this, &c, keys] {
    if (fake.view.focused != &c) c.SetFocus();
    for (char ch : keys) {
      int key = static_cast<unsigned char>(ch);
      c.KeyPress(key);
      if (key == 0) continue;
      std::string t = c.text();
      int start = std::min<int>(c.selStart(), static_cast<int>(t.size()));
      int length = std::min<int>(c.selLength(), static_cast<int>(t.size()) - start);
      if (key == 8) {
        if (length == 0 && start > 0) {
          --start;
          length = 1;
        }
        t.erase(start, length);
      } else {
        t.erase(start, length);
        if (c.maxLength() > 0 && static_cast<int>(t.size()) >= c.maxLength()) continue;
        t.insert(t.begin() + start, static_cast<char>(key));
        ++start;
      }
      c.SetText(t);
      c.SetSelection(start, 0);
    }
  });
}

void Sim::Paste(const std::string& formName, const std::string& control, const std::string& text) {
  Control& c = ctl(formName, control);
  Do([&c, text] { c.SetText(text); });
}

void Sim::Close(const std::string& formName) {
  Form& f = form(formName);
  Do([&f] { f.UserClose(); });
}

void Sim::SetState(const std::string& formName, WindowState s) {
  Form& f = form(formName);
  Do([&f, s] { f.UserSetWindowState(s); });
}

void Sim::Answer(MessageAnswer button) {
  if (fake.dialogs.open.empty()) throw std::logic_error("no message box is open");
  FakeDialogs::Box* box = fake.dialogs.open.back();
  const std::vector<MessageAnswer> offered = box->Buttons();
  if (std::find(offered.begin(), offered.end(), button) == offered.end())
    throw std::logic_error("the message box has no such button: " + box->text);
  Do([box, button] { box->answer = button; });
}

void Sim::SelectInChooser(const std::string& path) {
  if (!fake.files.open || !fake.files.open->preview)
    throw std::logic_error("no file chooser is open");
  auto* d = fake.files.open;
  Do([d, path] { d->preview->SelectionChanged(path); });
}

void Sim::PressPreview(bool play) {
  if (!fake.files.open || !fake.files.open->preview)
    throw std::logic_error("no file chooser is open");
  auto* d = fake.files.open;
  Do([d, play] { play ? d->preview->PlayPressed() : d->preview->StopPressed(); });
}

void Sim::FinishChooser(const std::string& path) {
  if (!fake.files.open) throw std::logic_error("no file chooser is open");
  auto* d = fake.files.open;
  Do([d, path] {
    d->result = path;
    d->done = true;
  });
}

void Sim::Tray(TrayEvent event) {
  if (event != TrayEvent::kRecreated) fake.presence.Input();
  Do([this, event] { fake.tray.Raise(event); });
}

void Sim::Away(AwayReason reason) {
  Do([this, reason] { fake.presence.Raise(true, reason); });
}

void Sim::Back(AwayReason reason) {
  fake.presence.Input();
  Do([this, reason] { fake.presence.Raise(false, reason); });
}

void Sim::Sleep(int64_t ms) {
  Away(AwayReason::kSleep);
  fake.loop.Sleep(ms);
  Back(AwayReason::kSleep);
}

void Sim::PressEnter() {
  fake.presence.Input();
  Form* active = fake.view.active;
  if (!active || !fake.view.AcceptsInput(*active)) return;  // another program has the keyboard
  // The window hears of the key first, as a real one does before the key acts.
  Do([active] { active->UserInput(); });
  Control* target = fake.view.focused && &fake.view.focused->form() == active &&
                            fake.view.focused->kind() == ControlKind::kButton
                        ? fake.view.focused
                        : nullptr;
  for (const auto& c : active->controls()) {
    if (!target && c->isDefaultButton()) target = c.get();
  }
  if (target && target->enabled() && target->visible()) Do([target] { target->Click(); });
}

void Sim::Activate(const std::string& formName) {
  fake.view.Activate(&form(formName));
}

void Sim::EndSession() {
  Form& f = form("frmTimer");
  Do([&f] { f.SessionEnding(); });
}

}  // namespace unw
