#include "i18n/plural_rule.h"

#include <algorithm>
#include <limits>

namespace unw {

// Recursive descent in C's precedence: ?: (right to left), ||, &&, == !=, < > <= >=, + -, * / %,
// !, then n, a number or parentheses. Every node records its depth, so neither the parser nor the
// evaluation goes deeper than kMaxDepth however the text is written ("n+n+...+n" included).
class PluralParser {
 public:
  explicit PluralParser(std::string_view text) : s_(text) {}

  std::optional<PluralRule> Run() {
    PluralRule rule;
    rule_ = &rule;
    const int root = Choice(0);
    Skip();
    if (failed_ || root < 0 || pos_ != s_.size()) return std::nullopt;
    rule.root_ = root;
    return rule;
  }

 private:
  void Skip() {
    while (pos_ < s_.size() &&
           (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
      ++pos_;
  }
  bool Take(std::string_view token) {
    Skip();
    if (s_.substr(pos_, token.size()) != token) return false;
    pos_ += token.size();
    return true;
  }
  // "<" but not "<=", "!" but not "!=" and so on.
  bool TakeAlone(std::string_view token, char notFollowedBy) {
    Skip();
    if (s_.substr(pos_, token.size()) != token) return false;
    if (pos_ + token.size() < s_.size() && s_[pos_ + token.size()] == notFollowedBy) return false;
    pos_ += token.size();
    return true;
  }
  int Fail() {
    failed_ = true;
    return -1;
  }
  int DepthOf(int node) const { return node < 0 ? 0 : depth_[static_cast<size_t>(node)]; }
  int Add(PluralRule::Op op, int a = -1, int b = -1, int c = -1, uint64_t value = 0) {
    if (failed_) return -1;
    if (op == PluralRule::Op::kDiv || op == PluralRule::Op::kMod) {
      const PluralRule::Node& divisor = rule_->nodes_[static_cast<size_t>(b)];
      if (divisor.op == PluralRule::Op::kNumber && divisor.value == 0) return Fail();
    }
    int depth = 1 + std::max(DepthOf(a), std::max(DepthOf(b), DepthOf(c)));
    if (depth > PluralRule::kMaxDepth || rule_->nodes_.size() >= PluralRule::kMaxNodes) {
      return Fail();
    }
    rule_->nodes_.push_back({op, value, a, b, c});
    depth_.push_back(depth);
    return static_cast<int>(rule_->nodes_.size() - 1);
  }

  int Choice(int level) {
    if (++level > PluralRule::kMaxDepth) return Fail();
    const int test = Or(level);
    if (failed_ || !Take("?")) return test;
    const int yes = Choice(level);
    if (failed_ || !Take(":")) return Fail();
    const int no = Choice(level);
    return Add(PluralRule::Op::kChoice, test, yes, no);
  }
  int Or(int level) {
    int left = And(level);
    while (!failed_ && Take("||")) left = Add(PluralRule::Op::kOr, left, And(level));
    return left;
  }
  int And(int level) {
    int left = Equality(level);
    while (!failed_ && Take("&&")) left = Add(PluralRule::Op::kAnd, left, Equality(level));
    return left;
  }
  int Equality(int level) {
    int left = Relation(level);
    while (!failed_) {
      if (Take("==")) {
        left = Add(PluralRule::Op::kEqual, left, Relation(level));
      } else if (Take("!=")) {
        left = Add(PluralRule::Op::kNotEqual, left, Relation(level));
      } else {
        break;
      }
    }
    return left;
  }
  int Relation(int level) {
    int left = Sum(level);
    while (!failed_) {
      if (Take("<=")) {
        left = Add(PluralRule::Op::kLessEq, left, Sum(level));
      } else if (Take(">=")) {
        left = Add(PluralRule::Op::kGreaterEq, left, Sum(level));
      } else if (Take("<")) {
        left = Add(PluralRule::Op::kLess, left, Sum(level));
      } else if (Take(">")) {
        left = Add(PluralRule::Op::kGreater, left, Sum(level));
      } else {
        break;
      }
    }
    return left;
  }
  int Sum(int level) {
    int left = Product(level);
    while (!failed_) {
      if (Take("+")) {
        left = Add(PluralRule::Op::kAdd, left, Product(level));
      } else if (Take("-")) {
        left = Add(PluralRule::Op::kSub, left, Product(level));
      } else {
        break;
      }
    }
    return left;
  }
  int Product(int level) {
    int left = Unary(level);
    while (!failed_) {
      if (Take("*")) {
        left = Add(PluralRule::Op::kMul, left, Unary(level));
      } else if (Take("/")) {
        left = Add(PluralRule::Op::kDiv, left, Unary(level));
      } else if (Take("%")) {
        left = Add(PluralRule::Op::kMod, left, Unary(level));
      } else {
        break;
      }
    }
    return left;
  }
  int Unary(int level) {
    if (++level > PluralRule::kMaxDepth) return Fail();
    if (TakeAlone("!", '=')) return Add(PluralRule::Op::kNot, Unary(level));
    return Primary(level);
  }
  int Primary(int level) {
    Skip();
    if (failed_ || pos_ >= s_.size()) return Fail();
    const char c = s_[pos_];
    if (c == 'n') {
      ++pos_;
      return Add(PluralRule::Op::kN);
    }
    if (c >= '0' && c <= '9') {
      uint64_t value = 0;
      while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
        const uint64_t digit = static_cast<uint64_t>(s_[pos_] - '0');
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10) return Fail();
        value = value * 10 + digit;
        ++pos_;
      }
      return Add(PluralRule::Op::kNumber, -1, -1, -1, value);
    }
    if (c == '(') {
      ++pos_;
      const int inner = Choice(level);
      if (failed_ || !Take(")")) return Fail();
      return inner;
    }
    return Fail();
  }

  std::string_view s_;
  size_t pos_ = 0;
  bool failed_ = false;
  PluralRule* rule_ = nullptr;
  std::vector<int> depth_;
};

std::optional<PluralRule> PluralRule::Parse(std::string_view expression) {
  if (expression.size() > 4096) return std::nullopt;
  return PluralParser(expression).Run();
}

std::optional<uint64_t> PluralRule::Evaluate(uint64_t n) const {
  if (root_ < 0) return std::nullopt;
  return Eval(root_, n);
}

std::optional<uint64_t> PluralRule::Eval(int index, uint64_t n) const {
  const Node& node = nodes_[static_cast<size_t>(index)];
  switch (node.op) {
    case Op::kN:
      return n;
    case Op::kNumber:
      return node.value;
    case Op::kNot: {
      const auto a = Eval(node.a, n);
      if (!a) return std::nullopt;
      return *a == 0 ? 1 : 0;
    }
    case Op::kChoice: {
      const auto test = Eval(node.a, n);
      if (!test) return std::nullopt;
      return Eval(*test != 0 ? node.b : node.c, n);
    }
    case Op::kAnd: {  // C's short circuit: the right side is not evaluated when the left decides
      const auto a = Eval(node.a, n);
      if (!a) return std::nullopt;
      if (*a == 0) return 0;
      const auto b = Eval(node.b, n);
      if (!b) return std::nullopt;
      return *b != 0 ? 1 : 0;
    }
    case Op::kOr: {
      const auto a = Eval(node.a, n);
      if (!a) return std::nullopt;
      if (*a != 0) return 1;
      const auto b = Eval(node.b, n);
      if (!b) return std::nullopt;
      return *b != 0 ? 1 : 0;
    }
    default:
      break;
  }
  const auto a = Eval(node.a, n);
  const auto b = Eval(node.b, n);
  if (!a || !b) return std::nullopt;
  switch (node.op) {
    case Op::kMul:
      return *a * *b;
    case Op::kDiv:
      if (*b == 0) return std::nullopt;
      return *a / *b;
    case Op::kMod:
      if (*b == 0) return std::nullopt;
      return *a % *b;
    case Op::kAdd:
      return *a + *b;
    case Op::kSub:
      return *a - *b;
    case Op::kLess:
      return *a < *b ? 1 : 0;
    case Op::kGreater:
      return *a > *b ? 1 : 0;
    case Op::kLessEq:
      return *a <= *b ? 1 : 0;
    case Op::kGreaterEq:
      return *a >= *b ? 1 : 0;
    case Op::kEqual:
      return *a == *b ? 1 : 0;
    case Op::kNotEqual:
      return *a != *b ? 1 : 0;
    default:
      return std::nullopt;
  }
}

}  // namespace unw
