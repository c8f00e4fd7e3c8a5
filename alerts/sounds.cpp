#include "alerts/sounds.h"

#include "alerts/wave_file.h"
#include "platform/sound.h"
#include "platform/trace.h"
#include "settings/settings.h"

namespace unw {

std::string TrimSpaces(const std::string& s) {
  const size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

uint32_t BeepKind(int16_t limit, int16_t count) {
  if (limit == 99) return kMbIconAsterisk;
  const int last = limit - 1;
  if (count < last) return kMbIconAsterisk;
  if (count == last) return kMbIconExclamationBeep;
  return kMbIconHand;
}

void AlertSounds::PlaySystemBeep(int16_t reminders) {
  player_.MessageBeep(BeepKind(s_.NumberOfSnooze, reminders));
}

int16_t AlertSounds::PlayCatalogueSound(int index) {
  if (index < 0 || index > 14) return 0;
  return player_.PlayClip(kSoundCatalogue[index].resourceName, kSndResourceFlags) != 0;
}

int16_t AlertSounds::PlaySelectedSound() {
  return PlayCatalogueSound(s_.SelectedSound);
}

long AlertSounds::PlayFile(const std::string& path) {
  std::string head;
  if (!player_.ReadFileStart(path, kWaveHeadBytes, head) || !CanPlayWave(head)) {
    trace_.Line("sound.unplayable", {path});
    return 0;
  }
  return player_.PlayClip(path, kSndFileFlags);
}

void AlertSounds::Stop() {
  player_.PlayClip("", 0);
}

void AlertSounds::PlayAlertSound(int16_t reminders) {
  switch (s_.AudioType) {
    case 1:
      PlaySystemBeep(reminders);
      break;
    case 2:
      if (PlaySelectedSound() == 0) PlaySystemBeep(reminders);
      break;
    case 3: {
      const std::string path = TrimSpaces(s_.CustomSound);
      if (path.empty() || PlayFile(path) == 0) PlaySystemBeep(reminders);
      break;
    }
    default:
      break;
  }
}

void AlertSounds::AnnounceBreakOver() {
  // Unlike the alert, the fallback here is always the question beep.
  switch (s_.AudioType) {
    case 1:
      player_.MessageBeep(kMbIconQuestionBeep);
      break;
    case 2:
      if (PlaySelectedSound() == 0) player_.MessageBeep(kMbIconQuestionBeep);
      break;
    case 3: {
      const std::string path = TrimSpaces(s_.CustomSound);
      if (path.empty() || PlayFile(path) == 0) player_.MessageBeep(kMbIconQuestionBeep);
      break;
    }
    default:
      break;
  }
}

}  // namespace unw
