// The alert sounds: the catalogue of built-in clips and the routines that
// play the user's choice.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "i18n/texts.h"

namespace unw {

class SoundPlayer;
class Trace;
enum class Beep;
struct Settings;

struct BuiltInSound {
  const char* displayName;   // as the preferences list shows it: texts.TC("sound", displayName)
  const char* resourceName;  // the clip's resource of type "WAVE"
};

inline constexpr BuiltInSound kSoundCatalogue[15] = {
    {NTC("sound", "Bicycle"), "BICYCLE"},
    {NTC("sound", "Chimes"), "CHIMES"},
    {NTC("sound", "Congratulations"), "CONGRATULATIONS"},
    {NTC("sound", "Doorbell"), "DOORBELL"},
    {NTC("sound", "Eastern Melody"), "EASTERN"},
    {NTC("sound", "Harp"), "HARP"},
    {NTC("sound", "Life"), "LIFE"},
    {NTC("sound", "Nightengale"), "NIGHTENGALE"},
    {NTC("sound", "Owl"), "OWL"},
    {NTC("sound", "Rooster"), "ROOSTER"},
    {NTC("sound", "Rubber Duck"), "RUBBERDUCK"},
    {NTC("sound", "Sparrow"), "SPARROW"},
    {NTC("sound", "Telephone"), "PHONE"},
    {NTC("sound", "Water Drop"), "WATERDROP"},
    {NTC("sound", "Xylophone"), "XYLOPHONE"},
};

// The soft clips of a short break's start and end, resources of type "WAVE" like the catalogue's.
inline constexpr const char* kShortBreakStartClip = "SHORTSTART";
inline constexpr const char* kShortBreakEndClip = "SHORTEND";

// How long the sound of an alert, or a preview, waits for its file to be read (on the event
// loop's timers): past it, the beep stands in, or the preview says the file cannot be played.
inline constexpr uint32_t kSoundFileWaitMs = 500;
// The most of a sound file that is read and played (about three minutes of CD sound).
inline constexpr size_t kSoundFileMaxBytes = 32u << 20;

// Plays what the settings choose. The beeps' kind follows the reminder count the
// caller gives.
//
// A sound file is never opened on the program's thread: it is read away from it
// (SoundPlayer::ReadFileAsync), checked (CanPlayWave) and played from memory. The wave of a file
// that played is kept by its path, so that the next alert plays it at once; an alert whose file
// is not kept yet goes on at once and plays it when it arrives within kSoundFileWaitMs, else
// the beep stands in. Device names are never opened (IsDevicePath).
class AlertSounds {
 public:
  AlertSounds(SoundPlayer& player, const Settings& settings, Trace& trace);
  ~AlertSounds();
  AlertSounds(const AlertSounds&) = delete;
  AlertSounds& operator=(const AlertSounds&) = delete;

  // The alert sound by AudioType: none, a system beep, the selected clip or the custom file,
  // with the beep when a clip or file cannot play (for a file still being read: when it has
  // not come within kSoundFileWaitMs).
  void PlayAlertSound(int16_t reminders);
  // Plays catalogue entry SelectedSound; non-zero when playback started.
  int16_t PlaySelectedSound();
  // Plays catalogue entry `index` (as the preview button does); non-zero when playback started.
  int16_t PlayCatalogueSound(int index);
  // A system beep whose kind follows the reminder count.
  void PlaySystemBeep(int16_t reminders);
  // The end of a break: the chosen sound, with the question beep when it cannot play.
  void AnnounceBreakOver();
  // The soft sound of a short break's start or end (clips "SHORTSTART" and "SHORTEND"), whatever
  // AudioType chooses for the alerts; nothing stands in when it cannot play.
  void PlayShortBreakSound(bool starts);
  // Plays the sound file at `path` once, as it is now (the preview of the preferences); 0 when
  // it is not a wave file the system can play (missing, empty, cut short, another format, a
  // device) or could not be read within kSoundFileWaitMs, and then nothing is played. Waits for
  // the file in a nested event loop: windows and timers go on meanwhile.
  long PlayFile(const std::string& path);
  // Plays the sound file at `path` once, as it is now, without waiting for it: when it arrives
  // within kSoundFileWaitMs and can play (the chooser's preview). Stop cancels it.
  void PreviewFile(const std::string& path);
  // Starts reading the custom sound the settings choose, so that the next alert plays it at
  // once (for the start-up and a changed choice; an alert also starts it when needed).
  void PrepareCustomSound();
  // Stops what the program is playing, and a preview still waiting for its file.
  void Stop();

 private:
  struct Files;
  enum class Wait { kAlert, kPreview, kInPlace };
  // Plays the built-in clip `id`, unpacked, from memory; false when the program does not carry
  // it or it cannot play.
  bool PlayClip(const std::string& id);
  // Plays `path` (not blank) from memory: at once when its wave is kept and `fresh` is false,
  // else once it is read. `then(played)` runs exactly once, perhaps before this returns, unless
  // a Stop cancels a kPreview. The id of the waiting sound, or 0 when it is over already.
  uint64_t PlayFileThen(const std::string& path, bool fresh, Wait wait,
                        std::function<void(bool played)> then);
  // The custom sound by AudioType 3, with `fallback` when it cannot play.
  void PlayCustomSound(std::function<void()> fallback);

  SoundPlayer& player_;
  const Settings& s_;
  std::shared_ptr<Files> files_;
};

// `s` without its leading and trailing spaces.
std::string TrimSpaces(const std::string& s);
// The beep of an alert after `count` reminders given of at most `limit`: by the reminders' step
// (SnoozeStep), information, warning, then error.
Beep AlertBeep(int16_t limit, int16_t count);
// Whether `path` names a device rather than a file, so that opening it may never end: the
// device namespaces ("\\.\", "\\?\GLOBALROOT" and any "\\?\" path that is not a drive, UNC or
// volume path, "\??\") and the reserved device names (CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9,
// CONIN$, CONOUT$, CLOCK$, in any case, with or without an extension, as the last part of a path).
// Judged as the system reads the path: up to its first NUL.
bool IsDevicePath(std::string_view path);

}  // namespace unw
