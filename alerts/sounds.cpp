#include "alerts/sounds.h"

#include <string>

#include "app/app.h"
#include "platform/sound.h"

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

void PlaySystemBeep(App& app) {
  app.sys.sound.MessageBeep(BeepKind(app.settings.NumberOfSnooze, app.intSnoozeCount));
}

int16_t PlayCatalogueSound(App& app, int index) {
  if (index < 0 || index > 14) return 0;
  return app.sys.sound.PlayClip(kSoundCatalogue[index].resourceName, kSndResourceFlags) != 0;
}

int16_t PlaySelectedSound(App& app) {
  return PlayCatalogueSound(app, app.settings.SelectedSound);
}

void PlayAlertSound(App& app) {
  switch (app.settings.AudioType) {
    case 1:
      PlaySystemBeep(app);
      break;
    case 2:
      if (PlaySelectedSound(app) == 0) PlaySystemBeep(app);
      break;
    case 3: {
      const std::string path = TrimSpaces(app.settings.CustomSound);
      if (path.empty() || app.sys.sound.PlayClip(path, kSndFileFlags) == 0) PlaySystemBeep(app);
      break;
    }
    default:
      break;
  }
}

}  // namespace unw
