#include "forms/fit.h"

#include <algorithm>
#include <utility>

namespace unw {

namespace {

// A box by one axis: where it starts and how long it is (x: left and width; y: top and height),
// and the span it covers across (y: top to bottom; x: left to right).
struct Axis {
  int Box::*start;
  int Box::*length;
  int Box::*crossStart;
  int Box::*crossLength;
};
constexpr Axis kAcross{&Box::left, &Box::width, &Box::top, &Box::height};
constexpr Axis kDown{&Box::top, &Box::height, &Box::left, &Box::width};

bool Placed(const Control& c) {
  switch (c.kind()) {
    case ControlKind::kTimer:
    case ControlKind::kMenu:
    case ControlKind::kMenuSeparator:
      return false;
    default:
      return true;
  }
}

int Depth(const Control& c) {
  int d = 0;
  for (const Control* p = c.parent(); p; p = p->parent()) ++d;
  return d;
}

// Grows the children of one container along `axis` by their `grow`, moving each control that lies
// after a grown one (it starts beyond the grown one's middle) and beside it (their spans across
// overlap) on by as much. Returns where the content started and ended before, and where it ends
// now.
struct Extent {
  int start, oldEnd, newEnd;
};
Extent Spread(std::vector<Box>& boxes, const std::vector<size_t>& children, std::vector<int>& grow,
              const Axis& a) {
  const std::vector<Box> design = boxes;
  std::vector<size_t> order = children;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t x, size_t y) { return design[x].*a.start < design[y].*a.start; });
  std::vector<int> shift(boxes.size(), 0);
  int oldStart = children.empty() ? 0 : design[order[0]].*a.start, oldEnd = 0, newEnd = 0;
  for (size_t n = 0; n < order.size(); ++n) {
    const size_t i = order[n];
    const Box& bi = design[i];
    for (size_t m = 0; m < n; ++m) {
      const size_t j = order[m];
      const Box& bj = design[j];
      const bool after = bi.*a.start >= bj.*a.start + bj.*a.length / 2 && bi.*a.start > bj.*a.start;
      const bool beside = bi.*a.crossStart < bj.*a.crossStart + bj.*a.crossLength &&
                          bj.*a.crossStart < bi.*a.crossStart + bi.*a.crossLength;
      if (after && beside) shift[i] = std::max(shift[i], shift[j] + grow[j]);
    }
    boxes[i].*a.start += shift[i];
    boxes[i].*a.length += grow[i];
    oldStart = std::min(oldStart, bi.*a.start);
    oldEnd = std::max(oldEnd, bi.*a.start + bi.*a.length);
    newEnd = std::max(newEnd, boxes[i].*a.start + boxes[i].*a.length);
  }
  return {oldStart, oldEnd, newEnd};
}

}  // namespace

bool HoldsText(const Control& c) {
  switch (c.kind()) {
    case ControlKind::kLabel:
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
    case ControlKind::kButton:
      // A picture button without a caption shows its picture alone; its tooltip is no caption.
      return !c.caption().empty();
    case ControlKind::kFrame:
      // A frame this low is a line, without a caption to show.
      return !c.caption().empty() && c.height() > 30;
    default:
      return false;
  }
}

bool Wraps(const std::string& text) {
  if (text.find_first_of(" \t\r\n") != std::string::npos) return true;
  // UTF-8 lead bytes 0xE3 to 0xE9 begin U+3000 to U+9FFF: CJK punctuation, kana, ideographs.
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0xE3 && b <= 0xE9;
  });
}

bool IsMultiLine(const Control& c, TextRoom& room) {
  if (c.kind() != ControlKind::kLabel || !Wraps(c.caption())) return false;
  const int line = room.Needs(c, 0).height;
  const int lines = static_cast<int>(std::count(c.caption().begin(), c.caption().end(), '\n')) + 1;
  // Drawn for at least two lines of its font, or for more lines than its text breaks into.
  return line > 0 && c.height() * lines >= 2 * line;
}

FittedForm FitTexts(const Form& form, TextRoom& room, int maxWidth, int maxHeight) {
  const auto& controls = form.controls();
  const size_t count = controls.size();
  FittedForm out;
  out.width = form.width();
  out.height = form.height();
  out.boxes.resize(count);
  std::vector<int> growX(count + 1, 0), growY(count + 1, 0);  // the last: the form itself
  for (size_t i = 0; i < count; ++i) {
    const Control& c = *controls[i];
    out.boxes[i] = {c.left(), c.top(), c.width(), c.height()};
    if (!Placed(c) || !HoldsText(c)) continue;
    const TextSize need = room.Needs(c, IsMultiLine(c, room) ? c.width() : 0);
    growX[i] = std::max(0, need.width - c.width());
    growY[i] = std::max(0, need.height - c.height());
  }
  // Buttons of one size in a row or a column stay of one size: each grows as its widest does.
  auto pushButton = [&](size_t i) {
    return controls[i]->kind() == ControlKind::kButton && HoldsText(*controls[i]);
  };
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < count; ++i) {
      for (size_t j = 0; j < count; ++j) {
        const Box &a = out.boxes[i], &b = out.boxes[j];
        if (i == j || !pushButton(i) || !pushButton(j) ||
            controls[i]->parent() != controls[j]->parent() || a.width != b.width ||
            a.height != b.height || (a.left != b.left && a.top != b.top))
          continue;
        growX[i] = std::max(growX[i], growX[j]);
        growY[i] = std::max(growY[i], growY[j]);
      }
    }
  }
  if (std::all_of(growX.begin(), growX.end(), [](int g) { return g == 0; }) &&
      std::all_of(growY.begin(), growY.end(), [](int g) { return g == 0; }))
    return out;

  // The containers, innermost first, so that a frame knows its own growth before its row does;
  // the form (index `count`) last.
  std::vector<size_t> frames;
  for (size_t i = 0; i < count; ++i) {
    if (controls[i]->kind() == ControlKind::kFrame) frames.push_back(i);
  }
  std::stable_sort(frames.begin(), frames.end(),
                   [&](size_t a, size_t b) { return Depth(*controls[a]) > Depth(*controls[b]); });
  frames.push_back(count);
  auto childrenOf = [&](size_t container) {
    const Control* parent = container == count ? nullptr : controls[container].get();
    std::vector<size_t> children;
    for (size_t i = 0; i < count; ++i) {
      if (Placed(*controls[i]) && controls[i]->parent() == parent) children.push_back(i);
    }
    return children;
  };
  // Across first, then down: a label widened in its row needs no more lines below it.
  for (const auto& [axis, grow] : {std::pair{&kAcross, &growX}, std::pair{&kDown, &growY}}) {
    for (size_t f : frames) {
      const Extent e = Spread(out.boxes, childrenOf(f), *grow, *axis);
      if (e.newEnd <= e.oldEnd) continue;
      const Box own = f == count ? Box{0, 0, out.width, out.height} : out.boxes[f];
      const int size = own.*axis->length;
      // The container keeps a margin after its last control: the design's, or the one before its
      // first control where that is smaller (a form with room to spare does not grow).
      const int margin = std::max(0, std::min(size - e.oldEnd, e.start));
      (*grow)[f] = std::max((*grow)[f], e.newEnd + margin - size);
    }
  }
  out.width = std::max(form.width(), std::min(form.width() + growX[count], maxWidth));
  out.height = std::max(form.height(), std::min(form.height() + growY[count], maxHeight));
  return out;
}

}  // namespace unw
