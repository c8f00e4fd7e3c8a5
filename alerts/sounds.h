// The alert sounds: the catalogue of built-in clips and the routines that
// play the user's choice.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

class App;

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

// The alert sound by AudioType: none, a system beep, the selected clip or the custom file.
void PlayAlertSound(App& app);
// Plays catalogue entry SelectedSound; non-zero when playback started.
int16_t PlaySelectedSound(App& app);
// Plays catalogue entry `index` (as the preview button does); non-zero when playback started.
int16_t PlayCatalogueSound(App& app, int index);
// A system beep whose kind follows the reminder count.
void PlaySystemBeep(App& app);
// `s` without its leading and trailing spaces.
std::string TrimSpaces(const std::string& s);
// The kind of beep (MessageBeep type) for `count` reminders given of at most `limit`.
uint32_t BeepKind(int16_t limit, int16_t count);

}  // namespace unw
