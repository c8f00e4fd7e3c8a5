// Which plural form a count takes: the catalogue's own rule ("plural=n%10==1 && n%100!=11 ? 0 :
// ..."), read from its header and evaluated here, since a catalogue is data and its rule an
// expression in a small C subset. Anything past that subset, too deep or too long is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace unw {

class PluralRule {
 public:
  // The rule of `expression`, or nothing when it is malformed, nests deeper than kMaxDepth, has
  // more than kMaxNodes parts or divides by a literal zero.
  static std::optional<PluralRule> Parse(std::string_view expression);
  // The form for `n`, or nothing when the rule divides by zero for this n.
  std::optional<uint64_t> Evaluate(uint64_t n) const;

  static constexpr int kMaxDepth = 64;
  static constexpr size_t kMaxNodes = 512;

  enum class Op : uint8_t {
    kN,
    kNumber,
    kNot,
    kMul,
    kDiv,
    kMod,
    kAdd,
    kSub,
    kLess,
    kGreater,
    kLessEq,
    kGreaterEq,
    kEqual,
    kNotEqual,
    kAnd,
    kOr,
    kChoice
  };
  struct Node {
    Op op;
    uint64_t value = 0;          // kNumber
    int a = -1, b = -1, c = -1;  // operands, by index
  };

 private:
  std::optional<uint64_t> Eval(int node, uint64_t n) const;
  std::vector<Node> nodes_;
  int root_ = -1;
  friend class PluralParser;
};

}  // namespace unw
