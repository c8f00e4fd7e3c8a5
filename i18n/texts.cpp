#include "i18n/texts.h"

namespace unw {

std::string FillIn(std::string_view text, Fills fills) {
  if (fills.size() == 0) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '{') {
      const size_t close = text.find('}', i + 1);
      if (close != std::string_view::npos) {
        const std::string_view name = text.substr(i + 1, close - i - 1);
        bool filled = false;
        for (const auto& [key, value] : fills) {
          if (key == name) {
            out.append(value);
            filled = true;
            break;
          }
        }
        if (filled) {
          i = close + 1;
          continue;
        }
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  return out;
}

Texts::Texts(std::string tag, Catalog catalog)
    : tag_(std::move(tag)), catalog_(std::make_shared<const Catalog>(std::move(catalog))) {}

Texts::Texts(std::string tag, std::shared_ptr<const Catalog> catalog)
    : tag_(std::move(tag)), catalog_(std::move(catalog)) {}

std::string Texts::T(std::string_view id, Fills fills) const {
  return TC({}, id, fills);
}

std::string Texts::TC(std::string_view context, std::string_view id, Fills fills) const {
  const std::string* found = catalog_ ? catalog_->Find(context, id) : nullptr;
  return FillIn(found ? std::string_view(*found) : id, fills);
}

std::string Texts::TN(std::string_view one, std::string_view many, uint64_t n, Fills fills) const {
  return TNC({}, one, many, n, fills);
}

std::string Texts::TNC(std::string_view context, std::string_view one, std::string_view many,
                       uint64_t n, Fills fills) const {
  const std::string* found = catalog_ ? catalog_->FindPlural(context, one, n) : nullptr;
  return FillIn(found ? std::string_view(*found) : (n == 1 ? one : many), fills);
}

}  // namespace unw
