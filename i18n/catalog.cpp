#include "i18n/catalog.h"

#include <array>

namespace unw {

namespace {

constexpr uint32_t kMagic = 0x950412de;
constexpr uint32_t kMagicSwapped = 0xde120495;
constexpr char kContextEnd = '\x04';
// A catalogue is checked against counts up to here: every one must pick a form it has.
constexpr uint64_t kCountsChecked = 1000;

uint32_t Swap(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xff00) | ((v << 8) & 0xff0000) | (v << 24);
}

bool WellFormedUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    int more;
    uint32_t value;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xe0) == 0xc0) {
      more = 1;
      value = c & 0x1f;
    } else if ((c & 0xf0) == 0xe0) {
      more = 2;
      value = c & 0x0f;
    } else if ((c & 0xf8) == 0xf0) {
      more = 3;
      value = c & 0x07;
    } else {
      return false;
    }
    if (s.size() - i <= static_cast<size_t>(more)) return false;
    for (int k = 1; k <= more; ++k) {
      const auto d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((d & 0xc0) != 0x80) return false;
      value = (value << 6) | (d & 0x3f);
    }
    static constexpr std::array<uint32_t, 4> kLeast = {0, 0x80, 0x800, 0x10000};
    if (value < kLeast[static_cast<size_t>(more)] || value > 0x10ffff ||
        (value >= 0xd800 && value <= 0xdfff))
      return false;
    i += static_cast<size_t>(more) + 1;
  }
  return true;
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : b_(bytes) {}
  bool Word(size_t at, uint32_t& out) const {
    if (at > b_.size() || b_.size() - at < 4) return false;
    uint32_t v = 0;
    for (size_t k = 0; k < 4; ++k)
      v |= static_cast<uint32_t>(static_cast<unsigned char>(b_[at + k])) << (8 * k);
    out = swapped ? Swap(v) : v;
    return true;
  }
  // The string the table entry at `at` describes: inside the file and ended by a NUL.
  bool String(size_t at, std::string_view& out) const {
    uint32_t length, offset;
    if (!Word(at, length) || !Word(at + 4, offset)) return false;
    if (offset > b_.size() || b_.size() - offset <= length) return false;
    if (b_[offset + length] != '\0') return false;
    out = b_.substr(offset, length);
    return true;
  }
  bool swapped = false;

 private:
  std::string_view b_;
};

std::vector<std::string_view> SplitAtNul(std::string_view s) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = s.find('\0', start);
    parts.push_back(s.substr(start, end == std::string_view::npos ? s.npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The value of the header's field `name` ("Plural-Forms"), or nothing.
std::optional<std::string_view> FieldOf(std::string_view header, std::string_view name) {
  size_t start = 0;
  while (start < header.size()) {
    size_t end = header.find('\n', start);
    if (end == std::string_view::npos) end = header.size();
    const std::string_view line = header.substr(start, end - start);
    if (line.size() > name.size() && line.substr(0, name.size()) == name &&
        line[name.size()] == ':')
      return Trim(line.substr(name.size() + 1));
    start = end + 1;
  }
  return std::nullopt;
}

bool SameAsciiWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::optional<Catalog> Catalog::Read(std::string_view bytes) {
  Reader in(bytes);
  uint32_t magic, revision, count, originals, translations;
  if (!in.Word(0, magic)) return std::nullopt;
  if (magic == kMagicSwapped) {
    in.swapped = true;
  } else if (magic != kMagic) {
    return std::nullopt;
  }
  if (!in.Word(4, revision) || !in.Word(8, count) || !in.Word(12, originals) ||
      !in.Word(16, translations))
    return std::nullopt;
  if ((revision >> 16) > 1) return std::nullopt;  // a major revision we do not know
  // Each string takes a table entry of 8 bytes in each table and at least its NUL.
  if (count > bytes.size() / 16) return std::nullopt;

  Catalog catalog;
  std::vector<std::pair<std::string_view, std::string_view>> pairs;
  pairs.reserve(count);
  std::optional<std::string_view> header;
  for (uint32_t i = 0; i < count; ++i) {
    std::string_view original, translation;
    if (!in.String(size_t{originals} + size_t{i} * 8, original) ||
        !in.String(size_t{translations} + size_t{i} * 8, translation))
      return std::nullopt;
    if (!WellFormedUtf8(original) || !WellFormedUtf8(translation)) return std::nullopt;
    if (original.empty()) {
      if (header) return std::nullopt;
      header = translation;
      continue;
    }
    pairs.emplace_back(original, translation);
  }

  if (header) {
    catalog.header_ = std::string(*header);
    if (const auto type = FieldOf(*header, "Content-Type")) {
      const size_t at = type->find("charset=");
      if (at == std::string_view::npos) return std::nullopt;
      std::string_view charset = type->substr(at + 8);
      charset = Trim(charset.substr(0, charset.find(';')));
      if (!SameAsciiWord(charset, "UTF-8")) return std::nullopt;
    }
    if (const auto forms = FieldOf(*header, "Plural-Forms")) {
      // nplurals=N; plural=EXPRESSION;
      const size_t np = forms->find("nplurals=");
      const size_t pl = forms->find("plural=", np == forms->npos ? 0 : np + 9);
      if (np == forms->npos || pl == forms->npos) return std::nullopt;
      std::string_view number = forms->substr(np + 9);
      number = Trim(number.substr(0, number.find(';')));
      if (number.size() != 1 || number[0] < '1' || number[0] - '0' > kMaxPlurals)
        return std::nullopt;
      catalog.pluralCount_ = number[0] - '0';
      std::string_view expression = forms->substr(pl + 7);
      const size_t semicolon = expression.find(';');
      if (semicolon != expression.npos) {
        if (!Trim(expression.substr(semicolon + 1)).empty()) return std::nullopt;
        expression = expression.substr(0, semicolon);
      }
      catalog.rule_ = PluralRule::Parse(expression);
      if (!catalog.rule_) return std::nullopt;
    }
  }
  if (!catalog.rule_) catalog.rule_ = PluralRule::Parse("n != 1");
  for (uint64_t n = 0; n <= kCountsChecked; ++n) {
    const auto form = catalog.rule_->Evaluate(n);
    if (!form || *form >= static_cast<uint64_t>(catalog.pluralCount_)) return std::nullopt;
  }

  catalog.entries_.reserve(pairs.size());
  for (const auto& [original, translation] : pairs) {
    const size_t idEnd = original.find('\0');
    const std::string key(original.substr(0, idEnd));
    if (key.empty() || key.front() == kContextEnd || key.back() == kContextEnd) return std::nullopt;
    Entry entry;
    entry.plural = idEnd != std::string_view::npos;
    if (entry.plural) {
      const std::string_view idPlural = original.substr(idEnd + 1);
      if (idPlural.empty() || idPlural.find('\0') != idPlural.npos) return std::nullopt;
      const auto forms = SplitAtNul(translation);
      if (forms.size() != static_cast<size_t>(catalog.pluralCount_)) return std::nullopt;
      for (const auto form : forms) entry.forms.emplace_back(form);
    } else {
      if (translation.find('\0') != translation.npos) return std::nullopt;
      entry.forms.emplace_back(translation);
    }
    // An empty translation is none (msgfmt leaves them out; a hand-made file may not).
    bool any = false;
    for (const auto& f : entry.forms) any = any || !f.empty();
    if (!any) continue;
    for (const auto& f : entry.forms)
      if (f.empty()) return std::nullopt;
    if (!catalog.entries_.emplace(key, std::move(entry)).second) return std::nullopt;
  }
  return catalog;
}

std::string Catalog::HeaderField(std::string_view name) const {
  const auto value = FieldOf(header_, name);
  return value ? std::string(*value) : std::string();
}

const Catalog::Entry* Catalog::Lookup(std::string_view context, std::string_view id) const {
  // The separator belongs to the file's keys alone: an id holding it would name a context.
  if (id.find(kContextEnd) != id.npos || context.find(kContextEnd) != context.npos) return nullptr;
  std::string key;
  if (!context.empty()) {
    key.reserve(context.size() + 1 + id.size());
    key.append(context);
    key.push_back(kContextEnd);
  }
  key.append(id);
  const auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : &it->second;
}

const std::string* Catalog::Find(std::string_view context, std::string_view id) const {
  const Entry* entry = Lookup(context, id);
  if (!entry || entry->plural) return nullptr;
  return &entry->forms.front();
}

const std::string* Catalog::FindPlural(std::string_view context, std::string_view id,
                                       uint64_t n) const {
  const Entry* entry = Lookup(context, id);
  if (!entry || !entry->plural) return nullptr;
  const auto form = rule_->Evaluate(n);
  if (!form || *form >= entry->forms.size()) return nullptr;
  return &entry->forms[static_cast<size_t>(*form)];
}

}  // namespace unw
