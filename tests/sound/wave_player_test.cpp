// The wave player through the capture sink: how files are cut into device
// buffers, the speed-up modes, stopping on a key, and damaged files.
#include "sound/wave_player.h"

#include <filesystem>
#include <numeric>

#include "sound/player_fixture.h"

namespace varlo {
namespace {

using test::Bytes;
using Kind = CaptureRecord::Kind;

Bytes ramp(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + 3);
  return b;
}

using WavePlayer = test::PlayerTest;

TEST_F(WavePlayer, FileDataIsCutIntoDeviceBuffers) {
  Bytes data = ramp(8200);
  EXPECT_EQ(playWaveFile(wav("a.wav", test::wavBytes(48000, 8, 1, data))), 0);
  EXPECT_EQ(playSizes(), (std::vector<size_t>{7936, 264}));
  auto p = plays();
  Bytes expected(data.begin(), data.begin() + 7936);
  expected.back() = 128;   // a short 8-bit piece ends on the middle line
  EXPECT_EQ(p[0].data, expected);
  EXPECT_EQ(p[1].data.front(), data[7936]);

  restartCapture();
  EXPECT_EQ(playWaveFile(wav("b.wav", test::wavBytes(48000, 8, 1, ramp(8192)))), 0);
  ASSERT_EQ(playSizes(), (std::vector<size_t>{8192}));
  EXPECT_EQ(plays()[0].data, ramp(8192));   // a whole buffer is left as it is

  restartCapture();
  EXPECT_EQ(playWaveFile(wav("c.wav", test::wavBytes(48000, 8, 1, ramp(100)))), 0);
  ASSERT_EQ(playSizes(), (std::vector<size_t>{256}));
  Bytes padded = ramp(100);
  padded.back() = 128;
  padded.resize(256, 128);
  EXPECT_EQ(plays()[0].data, padded);

  restartCapture();
  EXPECT_EQ(playWaveFile(wav("d.wav", test::wavBytes(48000, 16, 2, ramp(20000)))), 0);
  EXPECT_EQ(playSizes(), (std::vector<size_t>{8192, 8192, 3616}));
  EXPECT_EQ(capturedBytes(records()), ramp(20000));   // 16-bit data untouched
}

TEST_F(WavePlayer, FastPlaybackRaisesTheRateByHalf) {
  EXPECT_EQ(fastRate(11025), 16538);
  EXPECT_EQ(fastRate(22050), 33075);
  EXPECT_EQ(fastRate(11), 16);   // 16.5: the even neighbour
  EXPECT_EQ(fastRate(13), 20);   // 19.5
  waveSettings().fastPlayback = true;
  EXPECT_EQ(playWaveFile(wav("a.wav", test::wavBytes(11025, 8, 1, ramp(300)))), 0);
  auto rs = records();
  ASSERT_NE(first(Kind::open, rs), nullptr);
  EXPECT_EQ(first(Kind::open, rs)->format.rate, 16538);
}

TEST_F(WavePlayer, CutPlaybackPrefersTheRapidoRecording) {
  std::string normal = wav("a.wav", test::wavBytes(22050, 16, 1, Bytes(4000, 1)));
  std::filesystem::create_directory(path("rapido"));
  Bytes quick = ramp(600);
  wav("rapido/a.wav", test::wavBytes(44100, 16, 1, quick));
  waveSettings().cutPlayback = true;
  EXPECT_EQ(playWaveFile(normal), 0);
  EXPECT_TRUE(waveSettings().cutPlayback);
  auto rs = records();
  EXPECT_EQ(first(Kind::open, rs)->format, (AudioFormat{44100, 16, 1}));
  EXPECT_EQ(capturedBytes(rs), quick);
}

// A voiced sound: one sharp peak every 100 samples.
Bytes voiced(size_t samples, int bits) {
  Bytes b;
  for (size_t i = 0; i < samples; ++i) {
    int level = i % 100 == 0 ? 120 : (i % 100 < 50 ? 20 : -20);
    if (bits == 8) b.push_back(uint8_t(128 + level));
    else test::put16(b, uint16_t(int16_t(level * 256)));
  }
  return b;
}

TEST_F(WavePlayer, CutPlaybackShortensMonoSpeechOnly) {
  waveSettings().cutPlayback = true;
  EXPECT_EQ(playWaveFile(wav("m.wav", test::wavBytes(44100, 16, 1, voiced(4000, 16)))), 0);
  auto rs = records();
  EXPECT_EQ(first(Kind::open, rs)->format, (AudioFormat{44100, 8, 1}));
  size_t heard = capturedBytes(rs).size();
  EXPECT_GT(heard, 4000u * 3 / 10);
  EXPECT_LT(heard, 4000u * 7 / 10);

  restartCapture();
  Bytes stereo = voiced(4000, 16);
  EXPECT_EQ(playWaveFile(wav("s.wav", test::wavBytes(44100, 16, 2, stereo))), 0);
  rs = records();
  EXPECT_EQ(first(Kind::open, rs)->format, (AudioFormat{44100, 16, 2}));
  EXPECT_EQ(capturedBytes(rs), stereo);
}

TEST(CompressSpeech, ShortPiecesKeepTheirLength) {
  Bytes eight = voiced(999, 8);
  Bytes copy = eight;
  EXPECT_EQ(compressSpeech(copy.data(), copy.size(), 8, 11025), 999u);
  EXPECT_EQ(copy, eight);
  // 16-bit input still becomes 8-bit: high byte, sign bit flipped.
  Bytes sixteen = test::samples16({-32768, 0, 32767, 256});
  EXPECT_EQ(compressSpeech(sixteen.data(), sixteen.size(), 16, 22050), 4u);
  EXPECT_EQ(Bytes(sixteen.begin(), sixteen.begin() + 4), (Bytes{0, 128, 255, 129}));
}

// Samples before the first peak from the start offset on (200) stay; from there each
// kept stretch runs from one peak to the next, both included, and the period
// after it is dropped: peaks then come 100 and 1 samples apart, in turn.
TEST(CompressSpeech, DropsEveryOtherPeriodKeepingThePitch) {
  Bytes piece = voiced(8192, 8);
  size_t n = compressSpeech(piece.data(), piece.size(), 8, 11025);
  EXPECT_GT(n, 8192u * 4 / 10);
  EXPECT_LT(n, 8192u * 6 / 10);
  std::vector<size_t> peaks;
  for (size_t i = 0; i < n; ++i)
    if (piece[i] == 248) peaks.push_back(i);
  ASSERT_GT(peaks.size(), 10u);
  EXPECT_EQ(std::vector<size_t>(peaks.begin(), peaks.begin() + 6),
            (std::vector<size_t>{0, 100, 200, 300, 301, 401}));
  for (size_t i = 4; i < peaks.size(); ++i)
    EXPECT_EQ(peaks[i] - peaks[i - 1], i % 2 ? 100u : 1u) << i;
}

TEST(CompressSpeech, SilenceOrClippedInputEnds) {
  for (uint8_t level : {uint8_t(0), uint8_t(128)}) {
    Bytes flat(8192, level);
    size_t n = compressSpeech(flat.data(), flat.size(), 8, 11025);
    EXPECT_LE(n, 8192u);
    EXPECT_GT(n, 0u);
  }
  Bytes low(1000, 0);
  EXPECT_LE(compressSpeech(low.data(), low.size(), 8, 22050), 1000u);
}

TEST_F(WavePlayer, KeyPressStopsPlaybackAtOnce) {
  injectKeys("x");
  EXPECT_EQ(playWaveFile(wav("a.wav", test::wavBytes(8000, 8, 1, ramp(16000)))), 0);
  EXPECT_TRUE(plays().empty());   // a key already waiting: nothing is played
  flushKeyQueue();

  waveSettings().noWait = true;
  EXPECT_EQ(playWaveFile(path("a.wav")), 0);   // two seconds of sound
  EXPECT_TRUE(isPlaying());
  injectKeys("x");
  EXPECT_FALSE(isPlaying());
  EXPECT_TRUE(keyPending());   // the key is left for the caller
  auto rs = records();
  const CaptureRecord* stop = first(Kind::stop, rs);
  ASSERT_NE(stop, nullptr);
  EXPECT_LT(stop->time - first(Kind::play, rs)->time, 1000000);
  EXPECT_GT(stop->unplayed, 8000u);
  EXPECT_LT(heardBytes(rs).size(), 8000u);
}

TEST_F(WavePlayer, KeyIsIgnoredWhenInterruptIsOff) {
  waveSettings().keyInterrupt = false;
  injectKeys("x");
  EXPECT_EQ(playWaveFile(wav("a.wav", test::wavBytes(48000, 8, 1, ramp(4800)))), 0);
  EXPECT_EQ(heardBytes(records()).size(), 4800u);
  EXPECT_TRUE(keyPending());
}

TEST_F(WavePlayer, DamagedFilesPlayNothing) {
  Bytes good = test::wavBytes(48000, 8, 1, ramp(500));
  EXPECT_EQ(playWaveFile(path("missing.wav")), -1);
  EXPECT_EQ(playWaveFile(wav("text.wav", Bytes{'h', 'e', 'l', 'l', 'o'})), -1);
  Bytes notRiff = good;
  notRiff[0] = 'X';
  EXPECT_EQ(playWaveFile(wav("x.wav", notRiff)), -1);
  EXPECT_EQ(playWaveFile(wav("short.wav", Bytes(good.begin(), good.begin() + 30))), -1);
  Bytes noData = good;
  noData.resize(36);
  EXPECT_EQ(playWaveFile(wav("nodata.wav", noData)), -1);
  EXPECT_EQ(playWaveFile(wav("float.wav", test::wavBytes(48000, 32, 1, ramp(8), {}, 3))), -1);
  // An odd-sized chunk followed by a filler byte: sizes are taken as written,
  // so the data chunk is not found.
  Bytes odd;
  test::putChunk(odd, "LIST", Bytes{'a', 'b', 'c'});
  odd.push_back(0);
  EXPECT_EQ(playWaveFile(wav("odd.wav", test::wavBytes(48000, 8, 1, ramp(10), odd))), -1);
  EXPECT_TRUE(plays().empty());
  EXPECT_NE(playWaveFile(wav("12bit.wav", test::wavBytes(48000, 12, 1, ramp(30)))), 0);

  EXPECT_EQ(playWaveFile(wav("empty.wav", test::wavBytes(48000, 8, 1, {}))), 0);
  EXPECT_TRUE(plays().empty());
  // Data shorter than its chunk says: what is there is played.
  Bytes cut = good;
  cut.resize(44 + 300);
  EXPECT_EQ(playWaveFile(wav("cut.wav", cut)), 0);
  EXPECT_EQ(playSizes(), (std::vector<size_t>{300}));
}

TEST_F(WavePlayer, TagsInAnyCaseAndOtherChunks) {
  Bytes list;
  test::putChunk(list, "LIST", Bytes(6, 'z'));
  Bytes w = test::wavBytes(48000, 8, 1, ramp(400), list);
  for (size_t at : {0u, 12u, 50u}) std::transform(w.begin() + at, w.begin() + at + 4, w.begin() + at, ::tolower);
  EXPECT_EQ(playWaveFile(wav("mixed.wav", w)), 0);
  EXPECT_EQ(playSizes(), (std::vector<size_t>{400}));

  WaveInfo info;
  ASSERT_TRUE(readWaveInfo(path("mixed.wav"), info));
  EXPECT_EQ(info.dataSize, 400u);
  EXPECT_EQ(info.dataOffset, 58u);
  EXPECT_EQ(info.format.sampleRate, 48000u);
  EXPECT_EQ(info.format.blockAlign, 1);
  EXPECT_FALSE(readWaveInfo(wav("f.wav", test::wavBytes(48000, 32, 1, ramp(8), {}, 3)), info));
}

TEST_F(WavePlayer, ImagesAndSamplesAreQueuedWithoutWaiting) {
  Bytes image = test::wavBytes(8000, 8, 1, ramp(8000));   // one second
  image[36] = 'D';
  EXPECT_EQ(playWaveImage(image.data(), image.size()), 0);
  EXPECT_TRUE(isPlaying());
  Bytes bad = image;
  bad[13] = 'x';
  EXPECT_EQ(playWaveImage(bad.data(), bad.size()), -1);
  EXPECT_EQ(playWaveImage(image.data(), 30), -1);
  stopPlaying();
  EXPECT_FALSE(isPlaying());

  // A different format waits for the end of the sound before reopening.
  Bytes s = ramp(960);
  EXPECT_EQ(playSamples(s.data(), s.size(), 48000, 1, 8), 0);
  EXPECT_EQ(playSamples(s.data(), s.size(), 48000, 2, 8), 0);
  auto rs = records();
  std::vector<const CaptureRecord*> opens;
  for (auto& r : rs)
    if (r.kind == Kind::open) opens.push_back(&r);
  ASSERT_EQ(opens.size(), 3u);
  int64_t firstPlay = 0;
  for (auto& r : rs)
    if (r.kind == Kind::play && r.format.channels == 1 && r.format.rate == 48000) firstPlay = r.time;
  EXPECT_GE(opens[2]->time - firstPlay, 19000);   // 960 bytes at 48000 Hz: 20 ms
}

}  // namespace
}  // namespace varlo
