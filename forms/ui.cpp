#include "forms/ui.h"

#include <algorithm>

#include "platform/dialogs.h"
#include "platform/event_loop.h"

namespace unw {

Ui::Ui(FormView& view, EventLoop& loop, Dialogs& dialogs)
    : view_(view), loop_(loop), dialogs_(dialogs) {}

bool Ui::IsLoaded(const Form& f) const {
  return std::find(forms_.begin(), forms_.end(), &f) != forms_.end();
}

Form* Ui::Find(const std::string& name) const {
  for (Form* f : forms_) {
    if (f->name() == name) return f;
  }
  return nullptr;
}

MessageAnswer Ui::MsgBox(Form* owner, const Message& message) {
  ++modalDepth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{modalDepth_};
  return dialogs_.ShowMessage(owner ? owner->hWnd() : 0, message);
}

void Ui::DoEvents() {
  loop_.ProcessPendingEvents();
}

void Ui::Register(Form& f) {
  if (!IsLoaded(f)) forms_.push_back(&f);
}

void Ui::Unregister(Form& f) {
  std::erase(forms_, &f);
}

}  // namespace unw
