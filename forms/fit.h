// Room for longer texts: a form laid out as designed, except that a control whose text does not
// fit (a translation is longer than the English the form was drawn for) grows by what it needs,
// the controls beside it make way, frames widen around what they hold and the form around its
// controls. A renderer places its windows from the result; the model keeps the design.
#pragma once

#include <vector>

#include "forms/form.h"
#include "forms/form_view.h"

namespace unw {

// What a control's text needs to show whole, in twips, as the renderer draws that kind of
// control in its font at the DPI it lays out for (a check box's box, a button's edges and a
// frame's caption indent included). Controls that show no text of their own need nothing.
class TextRoom {
 public:
  virtual ~TextRoom() = default;
  // `wrapWidth` 0: each line of the text whole. Else the size of the text wrapped at words
  // within that width (a label drawn for several lines).
  virtual TextSize Needs(const Control& c, int wrapWidth) = 0;
};

// A control's place and size in twips, relative to its frame or the form, as a Control gives them.
struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool operator==(const Box&) const = default;
};

struct FittedForm {
  std::vector<Box> boxes;     // one per control of the form, in the order of Form::controls()
  int width = 0, height = 0;  // the form's, as it gives them (client or outer size)
  bool operator==(const FittedForm&) const = default;
};

// The kinds whose text grows their box: labels, check boxes, options, captioned buttons (with a
// picture beside the caption or not) and frames.
bool HoldsText(const Control& c);

// Whether a text may wrap onto more lines: it has a space (or a tab, a line end) between words, or
// characters of a script written without spaces (Chinese, Japanese), between which lines break.
bool Wraps(const std::string& text);

// A label drawn for more than one line: it grows in height, wrapped at its width.
bool IsMultiLine(const Control& c, TextRoom& room);

// The form's layout with room for every text. Nothing moves when every text fits. The form grows
// to at most `maxWidth` x `maxHeight` twips (the monitor's work area) and never shrinks.
FittedForm FitTexts(const Form& form, TextRoom& room, int maxWidth, int maxHeight);

}  // namespace unw
