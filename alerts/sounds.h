// The alert sounds: the catalogue of built-in clips and the routines that
// play the user's choice.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

class SoundPlayer;
class Trace;
struct Settings;

struct BuiltInSound {
  const char* displayName;   // as the preferences list shows it
  const char* resourceName;  // the clip's resource of type "WAVE"
};

inline constexpr BuiltInSound kSoundCatalogue[15] = {
    {"Bicycle", "BICYCLE"},
    {"Chimes", "CHIMES"},
    {"Congratulations", "CONGRATULATIONS"},
    {"Doorbell", "DOORBELL"},
    {"Eastern Melody", "EASTERN"},
    {"Harp", "HARP"},
    {"Life", "LIFE"},
    {"Nightengale", "NIGHTENGALE"},
    {"Owl", "OWL"},
    {"Rooster", "ROOSTER"},
    {"Rubber Duck", "RUBBERDUCK"},
    {"Sparrow", "SPARROW"},
    {"Telephone", "PHONE"},
    {"Water Drop", "WATERDROP"},
    {"Xylophone", "XYLOPHONE"},
};

// Plays what the settings choose. The beeps' kind follows the reminder count the
// caller gives.
class AlertSounds {
 public:
  AlertSounds(SoundPlayer& player, const Settings& settings, Trace& trace)
      : player_(player), s_(settings), trace_(trace) {}

  // The alert sound by AudioType: none, a system beep, the selected clip or the custom file,
  // with the beep when a clip or file cannot play.
  void PlayAlertSound(int16_t reminders);
  // Plays catalogue entry SelectedSound; non-zero when playback started.
  int16_t PlaySelectedSound();
  // Plays catalogue entry `index` (as the preview button does); non-zero when playback started.
  int16_t PlayCatalogueSound(int index);
  // A system beep whose kind follows the reminder count.
  void PlaySystemBeep(int16_t reminders);
  // The end of a break: the chosen sound, with the question beep when it cannot play.
  void AnnounceBreakOver();
  // Plays the sound file at `path` once; 0 when it is not a wave file the system can play
  // (missing, empty, cut short, another format), and then nothing is played.
  long PlayFile(const std::string& path);
  // Stops what the program is playing.
  void Stop();

 private:
  SoundPlayer& player_;
  const Settings& s_;
  Trace& trace_;
};

// `s` without its leading and trailing spaces.
std::string TrimSpaces(const std::string& s);
// The kind of beep (MessageBeep type) for `count` reminders given of at most `limit`.
uint32_t BeepKind(int16_t limit, int16_t count);

}  // namespace unw
