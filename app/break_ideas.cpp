#include "app/break_ideas.h"

#include <algorithm>
#include <utility>

#include "settings/idea_list.h"

namespace unw {

namespace {

// Each is a sentence of its own, read and done within a short break.
constexpr const char* kShortIdeas[] = {
    "Find the farthest thing you can see and look at it.",
    "Close your eyes and count slowly to ten.",
    "Blink slowly ten times.",
    "Look out of the nearest window.",
    "Let your eyes rest on something green.",
    "Look left, right, up and down, slowly.",
    "Roll your shoulders backwards five times.",
    "Let your shoulders drop away from your ears.",
    "Sit up tall and let your back grow long.",
    "Tilt your head gently towards each shoulder.",
    "Turn your head slowly to look over each shoulder.",
    "Stretch both arms above your head.",
    "Open and close your hands a few times.",
    "Spread your fingers wide, then let them relax.",
    "Circle your wrists one way, then the other.",
    "Shake out your hands loosely.",
    "Press your palms together and hold for a moment.",
    "Take three slow, deep breaths.",
    "Breathe in for four counts and out for six.",
    "Breathe out slowly, all the way.",
    "Take a sip of water.",
    "Put both feet flat on the floor.",
    "Circle your ankles a few times.",
    "Stand up, then sit down again slowly.",
    "Stand up and stretch for a moment.",
    "Rise onto your toes, then lower yourself slowly.",
    "Unclench your jaw and let it hang loose.",
    "Relax your forehead and the skin around your eyes.",
    "Lean back in your chair and look at the ceiling.",
    "Take your hands off the keyboard and let them rest.",
    "Name five things you can see around you.",
    "Listen to the sounds around you for a moment.",
    "Smile, even if nobody is watching.",
    "Gently squeeze your shoulder blades together.",
    "Let your arms hang down and shake them out.",
    "Rub your palms warm and rest them over your eyes.",
    "Look at the sky, if you can see it.",
    "Count the colours you can see from where you sit.",
    "Stretch one arm across your chest, then the other.",
    "Lace your fingers and push your palms forward.",
    "Notice how you are sitting, and change it.",
    "Let your eyes trace the edges of the room once around.",
    "Wiggle your toes inside your shoes.",
    "Look away from the screen and let your eyes wander.",
};

// Each is a sentence or two of its own, something to do for the minutes of a long break.
constexpr const char* kLongIdeas[] = {
    "Stand up, walk to the farthest window you can reach, and watch what happens outside for a "
    "minute.",
    "Fill a glass of water, drink it slowly, and take the long way back to your desk.",
    "Walk once around your home or office, and notice one thing you had not seen before.",
    "Step outside for some fresh air, even if only for a few minutes.",
    "Make yourself a cup of tea or coffee, and drink it away from the screen.",
    "Stand up and stretch: reach up high, then bend gently to each side.",
    "Climb a flight of stairs, up and down, at an easy pace.",
    "Tidy one small thing on your desk or around you.",
    "Water a plant, or look closely at one for a while.",
    "Open a window and take a few slow breaths of the air outside.",
    "Put on a song you like and move to it, or listen to it with your eyes closed.",
    "Go and have a short chat with someone about anything but work.",
    "Sit comfortably or lie down, close your eyes, and let your breathing slow down.",
    "Do a few slow squats, holding on to a chair if you like.",
    "Walk around the room humming a tune, with your shoulders loose.",
    "Stand, step one foot back and lean gently forward; then change legs.",
    "Go and look at the sky for a while: the clouds, the light or the stars.",
    "Write down three things that went well today, on paper.",
    "Eat a piece of fruit slowly, paying attention to each bite.",
    "Roll your shoulders, circle your arms, then shake out your legs, one after the other.",
    "Wash your hands or your face with cool water, and dry them slowly.",
    "Take a short walk outside, around the block or just to the corner and back.",
    "Sit somewhere away from your desk for a few minutes and let your mind wander.",
    "Stand by a window and let your eyes move from the nearest thing to the farthest and back.",
    "Put your phone away too, and spend this break without any screen at all.",
    "Refill your water bottle, and have a few sips on the way back.",
    "Stretch on the floor for a few minutes: reach, twist gently, and breathe slowly.",
};

}  // namespace

std::span<const char* const> BuiltInIdeas(IdeaKind kind) {
  if (kind == IdeaKind::kShort) return kShortIdeas;
  return kLongIdeas;
}

std::vector<std::string> AllBuiltInIdeas() {
  std::vector<std::string> all(std::begin(kShortIdeas), std::end(kShortIdeas));
  all.insert(all.end(), std::begin(kLongIdeas), std::end(kLongIdeas));
  return all;
}

std::string BreakIdeas::Next(IdeaKind kind) {
  if (settings_.BreakIdeas != 1) return "";
  // The working copy holds what the store holds; the repair on loading and the dialog's checks
  // keep it readable, and a list that is not is no list of the user's.
  const std::vector<std::string> custom =
      ReadIdeaList(settings_.CustomIdeas).value_or(std::vector<std::string>{});
  if (!custom.empty()) return Deal(decks_[2], custom);
  const auto builtIn = BuiltInIdeas(kind);
  return Deal(decks_[kind == IdeaKind::kShort ? 0 : 1],
              std::vector<std::string>(builtIn.begin(), builtIn.end()));
}

std::string BreakIdeas::Deal(Deck& deck, const std::vector<std::string>& source) {
  if (deck.source != source) deck = Deck{source, {}, {}};
  if (deck.left.empty()) {
    deck.left = deck.source;
    std::shuffle(deck.left.begin(), deck.left.end(), random_);
    // A new round does not open with the idea that closed the last one.
    if (deck.left.size() > 1 && deck.left.back() == deck.last)
      std::swap(deck.left.back(), deck.left.front());
  }
  deck.last = std::move(deck.left.back());
  deck.left.pop_back();
  return deck.last;
}

}  // namespace unw
