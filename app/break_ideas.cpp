#include "app/break_ideas.h"

#include <algorithm>
#include <utility>

#include "settings/idea_list.h"

namespace unw {

namespace {

// The contexts of the built-in ideas in the catalogue (the same as the markers below).
constexpr const char* kShortIdeaContext = "short break idea";
constexpr const char* kLongIdeaContext = "long break idea";

// Each is a sentence of its own, read and done within a short break.
constexpr const char* kShortIdeas[] = {
    NTC("short break idea", "Find the farthest thing you can see and look at it."),
    NTC("short break idea", "Close your eyes and count slowly to ten."),
    NTC("short break idea", "Blink slowly ten times."),
    NTC("short break idea", "Look out of the nearest window."),
    NTC("short break idea", "Let your eyes rest on something green."),
    NTC("short break idea", "Look left, right, up and down, slowly."),
    NTC("short break idea", "Roll your shoulders backwards five times."),
    NTC("short break idea", "Let your shoulders drop away from your ears."),
    NTC("short break idea", "Sit up tall and let your back grow long."),
    NTC("short break idea", "Tilt your head gently towards each shoulder."),
    NTC("short break idea", "Turn your head slowly to look over each shoulder."),
    NTC("short break idea", "Stretch both arms above your head."),
    NTC("short break idea", "Open and close your hands a few times."),
    NTC("short break idea", "Spread your fingers wide, then let them relax."),
    NTC("short break idea", "Circle your wrists one way, then the other."),
    NTC("short break idea", "Shake out your hands loosely."),
    NTC("short break idea", "Press your palms together and hold for a moment."),
    NTC("short break idea", "Take three slow, deep breaths."),
    NTC("short break idea", "Breathe in for four counts and out for six."),
    NTC("short break idea", "Breathe out slowly, all the way."),
    NTC("short break idea", "Take a sip of water."),
    NTC("short break idea", "Put both feet flat on the floor."),
    NTC("short break idea", "Circle your ankles a few times."),
    NTC("short break idea", "Stand up, then sit down again slowly."),
    NTC("short break idea", "Stand up and stretch for a moment."),
    NTC("short break idea", "Rise onto your toes, then lower yourself slowly."),
    NTC("short break idea", "Unclench your jaw and let it hang loose."),
    NTC("short break idea", "Relax your forehead and the skin around your eyes."),
    NTC("short break idea", "Lean back in your chair and look at the ceiling."),
    NTC("short break idea", "Take your hands off the keyboard and let them rest."),
    NTC("short break idea", "Name five things you can see around you."),
    NTC("short break idea", "Listen to the sounds around you for a moment."),
    NTC("short break idea", "Smile, even if nobody is watching."),
    NTC("short break idea", "Gently squeeze your shoulder blades together."),
    NTC("short break idea", "Let your arms hang down and shake them out."),
    NTC("short break idea", "Rub your palms warm and rest them over your eyes."),
    NTC("short break idea", "Look at the sky, if you can see it."),
    NTC("short break idea", "Count the colours you can see from where you sit."),
    NTC("short break idea", "Stretch one arm across your chest, then the other."),
    NTC("short break idea", "Lace your fingers and push your palms forward."),
    NTC("short break idea", "Notice how you are sitting, and change it."),
    NTC("short break idea", "Let your eyes trace the edges of the room once around."),
    NTC("short break idea", "Wiggle your toes inside your shoes."),
    NTC("short break idea", "Look away from the screen and let your eyes wander."),
};

// Each is a sentence or two of its own, something to do for the minutes of a long break.
constexpr const char* kLongIdeas[] = {
    NTC("long break idea",
        "Stand up, walk to the farthest window you can reach, and watch what happens outside for a "
        "minute."),
    NTC("long break idea",
        "Fill a glass of water, drink it slowly, and take the long way back to your desk."),
    NTC("long break idea",
        "Walk once around your home or office, and notice one thing you had not seen before."),
    NTC("long break idea", "Step outside for some fresh air, even if only for a few minutes."),
    NTC("long break idea",
        "Make yourself a cup of tea or coffee, and drink it away from the screen."),
    NTC("long break idea", "Stand up and stretch: reach up high, then bend gently to each side."),
    NTC("long break idea", "Climb a flight of stairs, up and down, at an easy pace."),
    NTC("long break idea", "Tidy one small thing on your desk or around you."),
    NTC("long break idea", "Water a plant, or look closely at one for a while."),
    NTC("long break idea", "Open a window and take a few slow breaths of the air outside."),
    NTC("long break idea",
        "Put on a song you like and move to it, or listen to it with your eyes closed."),
    NTC("long break idea", "Go and have a short chat with someone about anything but work."),
    NTC("long break idea",
        "Sit comfortably or lie down, close your eyes, and let your breathing slow down."),
    NTC("long break idea", "Do a few slow squats, holding on to a chair if you like."),
    NTC("long break idea", "Walk around the room humming a tune, with your shoulders loose."),
    NTC("long break idea", "Stand, step one foot back and lean gently forward; then change legs."),
    NTC("long break idea",
        "Go and look at the sky for a while: the clouds, the light or the stars."),
    NTC("long break idea", "Write down three things that went well today, on paper."),
    NTC("long break idea", "Eat a piece of fruit slowly, paying attention to each bite."),
    NTC("long break idea",
        "Roll your shoulders, circle your arms, then shake out your legs, one after the other."),
    NTC("long break idea", "Wash your hands or your face with cool water, and dry them slowly."),
    NTC("long break idea",
        "Take a short walk outside, around the block or just to the corner and back."),
    NTC("long break idea",
        "Sit somewhere away from your desk for a few minutes and let your mind wander."),
    NTC("long break idea",
        "Stand by a window and let your eyes move from the nearest thing to the farthest and "
        "back."),
    NTC("long break idea",
        "Put your phone away too, and spend this break without any screen at all."),
    NTC("long break idea", "Refill your water bottle, and have a few sips on the way back."),
    NTC("long break idea",
        "Stretch on the floor for a few minutes: reach, twist gently, and breathe slowly."),
};

}  // namespace

std::span<const char* const> BuiltInIdeas(IdeaKind kind) {
  if (kind == IdeaKind::kShort) return kShortIdeas;
  return kLongIdeas;
}

namespace {

const char* IdeaContext(IdeaKind kind) {
  return kind == IdeaKind::kShort ? kShortIdeaContext : kLongIdeaContext;
}

}  // namespace

std::vector<std::string> BuiltInIdeas(IdeaKind kind, const Texts& texts) {
  std::vector<std::string> ideas;
  for (const char* idea : BuiltInIdeas(kind)) ideas.push_back(texts.TC(IdeaContext(kind), idea));
  return ideas;
}

std::vector<std::string> AllBuiltInIdeas(const Texts& texts) {
  std::vector<std::string> all = BuiltInIdeas(IdeaKind::kShort, texts);
  const std::vector<std::string> longIdeas = BuiltInIdeas(IdeaKind::kLong, texts);
  all.insert(all.end(), longIdeas.begin(), longIdeas.end());
  return all;
}

std::string BreakIdeas::Next(IdeaKind kind) {
  if (settings_.BreakIdeas != 1) return "";
  // The working copy holds what the store holds; the repair on loading and the dialog's checks
  // keep it readable, and a list that is not is no list of the user's.
  const std::vector<std::string> custom =
      ReadIdeaList(settings_.CustomIdeas).value_or(std::vector<std::string>{});
  if (!custom.empty()) return Deal(decks_[2], custom);
  // The built-in ones in the language in use: a change of language starts a new round.
  return Deal(decks_[kind == IdeaKind::kShort ? 0 : 1], BuiltInIdeas(kind, texts_));
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
