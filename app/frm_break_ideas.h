// frmBreakIdeas: the ideas the breaks show, edited as a list. It opens on the user's own ideas, or
// on the built-in ones while there are none; any change makes the list the user's own, and
// "Built-in Ideas" brings the built-in list back (stored as no list of the user's).
#pragma once

#include <string>
#include <vector>

#include "forms/form.h"
#include "settings/idea_list.h"

namespace unw {

class App;
class Texts;

class FrmBreakIdeas : public Form {
 public:
  explicit FrmBreakIdeas(App& app);

  void cmdAdd_Click();
  void cmdRemove_Click();
  void cmdBuiltInIdeas_Click();
  void cmdSave_Click();
  void cmdCancel_Click();

  // The ideas as the list shows them now (saved or not).
  const std::vector<std::string>& ideas() const { return ideas_; }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  // The list as ideas_ has it, with entry `selected` (-1: none) chosen.
  void ShowList(int selected);
  void ShowButtons();

  App& app_;
  std::vector<std::string> ideas_;
};

// What the user is told when an idea cannot be added for `fault`.
std::string IdeaRefusalText(const Texts& texts, IdeaFault fault);
// What the user is told when the list holds as many ideas as it can.
std::string IdeaListFullText(const Texts& texts);

}  // namespace unw
