// The built-in clips are carried packed and unpacked when they play: known streams give the
// samples an independent decoder (resources/sounds/check_sounds.py) gives, every clip the program
// carries comes back close to the wave it was made from, and damage gives nothing.
#include "alerts/clip_pack.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace unw {
namespace {

uint32_t Le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}

// A wave's format tag, rate, bits and samples (signed), read by walking its chunks.
struct Pcm {
  uint32_t tag = 0, rate = 0, bits = 0;
  std::vector<int32_t> samples;
};

Pcm Read(const std::string& wave) {
  Pcm pcm;
  for (size_t at = 12; at + 8 <= wave.size();) {
    const uint32_t size = Le(wave, at + 4, 4);
    const std::string id = wave.substr(at, 4), body = wave.substr(at + 8, size);
    if (id == "fmt ")
      pcm.tag = Le(body, 0, 2), pcm.rate = Le(body, 4, 4), pcm.bits = Le(body, 14, 2);
    if (id == "data")
      for (size_t i = 0; pcm.bits && i + pcm.bits / 8 <= body.size(); i += pcm.bits / 8)
        pcm.samples.push_back(pcm.bits == 8 ? static_cast<uint8_t>(body[i]) - 128
                                            : static_cast<int16_t>(Le(body, i, 2)));
    at += 8 + size + (size & 1);
  }
  return pcm;
}

std::string File(const std::string& name) {
  std::ifstream in(std::string(UNWINDLE_SOUNDS_DIR) + "/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Made by make_sounds.py's packer (the first two predicted from two samples, the last from one),
// decoded by check_sounds.py.
const std::string kPacked16(
    "\x52\x49\x46\x46\x42\x00\x00\x00\x57\x41\x56\x45\x66\x6d\x74\x20\x10\x00\x00\x00\x57\x55\x01"
    "\x00\x40\x1f\x00\x00\xc0\x2b\x00\x00\x01\x00\x10\x00\x64\x61\x74\x61\x1e\x00\x00\x00\x55\x57"
    "\x43\x31\x40\x1f\x00\x00\x10\xff\x02\x00\x0a\x00\x00\x00\x00\x59\xc8\x55\x2e\x0e\xfd\x06\xbb"
    "\xb2\x0b\x0a\xd7\x00",
    74);
const std::string kPacked8(
    "\x52\x49\x46\x46\x42\x00\x00\x00\x57\x41\x56\x45\x66\x6d\x74\x20\x10\x00\x00\x00\x57\x55\x01"
    "\x00\x40\x1f\x00\x00\x9c\x30\x00\x00\x01\x00\x08\x00\x64\x61\x74\x61\x1e\x00\x00\x00\x55\x57"
    "\x43\x31\x40\x1f\x00\x00\x08\x01\x02\x00\x09\x00\x00\x00\x00\x5e\x23\x1f\x0d\x03\x87\x2b\x40"
    "\x4f\x9a\xc3\x4b\x6d",
    74);
const std::string kPackedOrder1(
    "\x52\x49\x46\x46\x44\x00\x00\x00\x57\x41\x56\x45\x66\x6d\x74\x20\x10\x00\x00\x00\x57\x55\x01"
    "\x00\x11\x2b\x00\x00\xd5\x35\x00\x00\x01\x00\x08\x00\x64\x61\x74\x61\x1f\x00\x00\x00\x55\x57"
    "\x43\x31\x11\x2b\x00\x00\x08\x01\x01\x00\x0c\x00\x00\x00\x00\xf5\xfd\x1b\xab\xba\x42\x6f\xa2"
    "\xe5\x19\x3a\xc6\x54\x58\x00",
    76);

TEST(ClipPack, KnownStreamsGiveTheSamplesOfAnIndependentDecoder) {
  const struct {
    const std::string& packed;
    uint32_t rate, bits;
    std::vector<int32_t> samples;
  } cases[] = {
      {kPacked16, 8000, 16, {0, 511, 1022, -1022, 32704, -32641, -64, -191, 193, 66}},
      {kPacked8, 8000, 8, {0, 3, 9, -12, 126, -128, 61, 61, -5}},
      {kPackedOrder1, 11025, 8, {39, -39, 39, -42, 39, -36, 0, 0, 0, 126, 126, 126}},
  };
  for (const auto& c : cases) {
    const std::string wave = UnpackClip(c.packed);
    ASSERT_GT(wave.size(), 12u) << c.bits;
    EXPECT_EQ(wave.substr(0, 4) + wave.substr(8, 4), "RIFFWAVE");
    EXPECT_EQ(Le(wave, 4, 4), wave.size() - 8) << "the RIFF size";
    const Pcm pcm = Read(wave);
    EXPECT_EQ(pcm.tag, 1u) << "PCM";
    EXPECT_EQ(pcm.rate, c.rate);
    EXPECT_EQ(pcm.bits, c.bits);
    EXPECT_EQ(pcm.samples, c.samples) << c.bits;
  }
}

// Every clip sounds.rc compiles in against the wave make_sounds.py made it from: the PCM ones
// sample by sample within 1 % of full scale, the others (MP3) carried as they are. (The A-law
// one is compared by check_sounds.py.)
TEST(ClipPack, EveryBuiltInClipComesBackCloseToItsWave) {
  const std::string rc = File("sounds.rc");
  const std::regex line(R"(\n(\w+)\s+WAVE\s+"(\w+)\.uwc")");
  size_t clips = 0;
  for (std::sregex_iterator m(rc.begin(), rc.end(), line), end; m != end; ++m, ++clips) {
    const std::string name = (*m)[1], file = (*m)[2];
    const std::string packed = File(file + ".uwc"), original = File(file + ".wav");
    ASSERT_FALSE(packed.empty() || original.empty()) << name;
    const std::string wave = UnpackClip(packed);
    const Pcm want = Read(original), got = Read(wave);
    if (want.tag == 6) continue;
    if (want.tag != 1) {
      EXPECT_EQ(wave, original) << name;
      continue;
    }
    EXPECT_EQ(got.tag, 1u) << name;
    EXPECT_EQ(got.rate, want.rate) << name;
    EXPECT_EQ(got.bits, want.bits) << name;
    ASSERT_EQ(got.samples.size(), want.samples.size()) << name;
    const int32_t allowed = (1 << want.bits) / 200;  // 1 % of full scale (half the range)
    int32_t worst = 0;
    for (size_t i = 0; i < got.samples.size(); ++i)
      worst = std::max(worst, std::abs(got.samples[i] - want.samples[i]));
    EXPECT_LE(worst, std::max(allowed, 1)) << name;
  }
  EXPECT_EQ(clips, 17u) << "the fifteen alert sounds and the short break's two";
}

TEST(ClipPack, DamagedOrForeignBytesGiveNothingAndAnotherWaveItself) {
  const std::string pcm(
      "RIFF\x28\0\0\0WAVEfmt "
      "\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0data\x04\0\0\0"
      "\x80\xff\x80\x00",
      48);
  EXPECT_EQ(UnpackClip(pcm), pcm) << "a PCM wave as it is";
  EXPECT_EQ(UnpackClip(""), "");
  EXPECT_EQ(UnpackClip("UWC1 not in a RIFF file"), "");
  for (size_t cut : {size_t{12}, size_t{44}, size_t{50}, kPacked16.size() - 3})
    EXPECT_EQ(UnpackClip(kPacked16.substr(0, cut)), "") << "cut at " << cut;
  std::string huge = kPacked8;
  huge[56 + 3] = '\x7f';  // claims far more samples than any clip holds
  EXPECT_EQ(UnpackClip(huge), "");
}

}  // namespace
}  // namespace unw
