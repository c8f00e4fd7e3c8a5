// Something to do in a break: one of the built-in ideas of the break's kind, or one of the user's
// own (CustomIdeas, which serve both kinds), drawn at random without repeating one until every
// idea of the list was shown.
#pragma once

#include <array>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "i18n/texts.h"
#include "settings/settings.h"

namespace unw {

enum class IdeaKind { kShort, kLong };

// The built-in ideas of a kind, in English: a short one is done in seconds, a long one in minutes.
std::span<const char* const> BuiltInIdeas(IdeaKind kind);
// The same in the language of `texts` (the user's own ideas are never translated).
std::vector<std::string> BuiltInIdeas(IdeaKind kind, const Texts& texts);
// All of them, the short ones first: the list the ideas dialog shows for the built-in ideas.
std::vector<std::string> AllBuiltInIdeas(const Texts& texts);

class BreakIdeas {
 public:
  // Reads the settings' working copies and the language at every draw; draws from `random`.
  BreakIdeas(const Settings& settings, const Texts& texts, std::mt19937& random)
      : settings_(settings), texts_(texts), random_(random) {}

  // The idea for the next break of this kind; "" when ideas are off.
  std::string Next(IdeaKind kind);

 private:
  // A shuffled deck of a list, dealt from the back.
  struct Deck {
    std::vector<std::string> source;  // the list it was shuffled from
    std::vector<std::string> left;
    std::string last;  // the idea dealt last, kept off the top of the next round
  };
  std::string Deal(Deck& deck, const std::vector<std::string>& source);

  const Settings& settings_;
  const Texts& texts_;
  std::mt19937& random_;
  // One deck for each kind of built-in idea, and one that both kinds share for the user's own.
  std::array<Deck, 3> decks_;
};

}  // namespace unw
