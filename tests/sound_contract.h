// What every back end of the sound services must do: a built-in clip's bytes come by its id (and
// play, unpacked, from memory) and an unknown id has none, a wave held in memory plays, a stop is
// always harmless, and a beep of each kind sounds. Each back end's test instantiates this suite
// with a fixture that gives the player and the id of a clip it carries.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "alerts/clip_pack.h"
#include "platform/sound.h"

namespace unw {

// A fixture provides: SoundPlayer& player(); std::string KnownClip() (a clip the program
// carries).
template <typename Fixture>
class SoundContract : public Fixture {
 protected:
  // RIFF, a PCM format chunk (mono, 8000 Hz, 8 bits) and four samples.
  static std::shared_ptr<const std::string> Wave() {
    return std::make_shared<const std::string>(
        std::string(
            "RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0",
            36) +
        std::string("data\x04\0\0\0\x80\xff\x80\x00", 12));
  }
};

TYPED_TEST_SUITE_P(SoundContract);

TYPED_TEST_P(SoundContract, AClipIsCarriedByItsIdAndPlaysUnpackedAndAnUnknownIdHasNone) {
  SoundPlayer& p = this->player();
  const std::string clip = p.ClipBytes(this->KnownClip());
  const std::string wave = UnpackClip(clip);
  ASSERT_GT(wave.size(), 44u) << clip.size() << " bytes carried";
  EXPECT_EQ(wave.substr(0, 4), "RIFF");
  EXPECT_EQ(p.ClipBytes(this->KnownClip()), clip) << "the same bytes again";
  EXPECT_EQ(p.ClipBytes("NOSUCHCLIP"), "");
  EXPECT_EQ(p.ClipBytes(""), "");
  EXPECT_EQ(p.PlayWave(this->KnownClip(), std::make_shared<const std::string>(wave)), 1);
  p.Stop();
  p.Stop();  // nothing playing: harmless
  EXPECT_EQ(p.PlayWave(this->KnownClip(), std::make_shared<const std::string>(wave)), 1)
      << "plays again after a stop";
  p.Stop();
}

TYPED_TEST_P(SoundContract, AWaveInMemoryPlaysAndNoWaveIsRefused) {
  SoundPlayer& p = this->player();
  EXPECT_EQ(p.PlayWave("Glocke \xE3\x83\x99\xE3\x83\xAB", this->Wave()), 1);
  EXPECT_EQ(p.PlayWave("again", this->Wave()), 1) << "replaces the one playing";
  EXPECT_EQ(p.PlayWave("none", nullptr), 0);
  EXPECT_EQ(p.PlayWave("empty", std::make_shared<const std::string>()), 0);
  p.Stop();
}

TYPED_TEST_P(SoundContract, EveryKindOfBeepSounds) {
  for (Beep kind : {Beep::kInformation, Beep::kWarning, Beep::kError, Beep::kQuestion})
    EXPECT_TRUE(this->player().PlayBeep(kind)) << static_cast<int>(kind);
}

REGISTER_TYPED_TEST_SUITE_P(SoundContract,
                            AClipIsCarriedByItsIdAndPlaysUnpackedAndAnUnknownIdHasNone,
                            AWaveInMemoryPlaysAndNoWaveIsRefused, EveryKindOfBeepSounds);

}  // namespace unw
