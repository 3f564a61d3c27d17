// The background stream of the wave player: it gives way to other sound and
// goes on after it, survives a key press, and tells its owner what was lost.
#include <algorithm>

#include "sound/player_fixture.h"

namespace varlo {
namespace {

using test::Bytes;
using Kind = CaptureRecord::Kind;

// A stream over bytes in memory (16-bit mono at 48000 Hz).
struct Source {
  Bytes data;
  size_t next = 0;
  size_t droppedBytes = 0;
  int endedCount = 0;
};

size_t readSource(void* owner, uint8_t* buffer, size_t capacity) {
  auto& s = *static_cast<Source*>(owner);
  size_t n = std::min(capacity, s.data.size() - s.next);
  std::copy_n(s.data.begin() + long(s.next), n, buffer);
  s.next += n;
  return n;
}

void sourceDropped(void* owner, size_t bytes) {
  auto& s = *static_cast<Source*>(owner);
  s.droppedBytes += bytes;
  s.next -= std::min(s.next, bytes);
}

void sourceEnded(void* owner) { static_cast<Source*>(owner)->endedCount++; }

Bytes pattern(size_t n, int seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 13 + size_t(seed) + i / 251);
  return b;
}

WaveStream streamOf(Source& s) {
  WaveStream stream;
  stream.rate = 48000;
  stream.bits = 16;
  stream.channels = 1;
  stream.owner = &s;
  stream.read = readSource;
  stream.dropped = sourceDropped;
  stream.ended = sourceEnded;
  return stream;
}

class WaveStreamTest : public test::PlayerTest {
 protected:
  void waitForStream(const Source& s) {
    while (streamRunning(&s) || isPlaying()) pause(5);
  }
  // Bytes heard in one format.
  Bytes heardAt(int rate) {
    std::vector<CaptureRecord> kept;
    for (auto& r : records())
      if (r.kind != Kind::play || r.format.rate == rate) kept.push_back(r);
    return heardBytes(kept);
  }
};

TEST_F(WaveStreamTest, StreamPlaysWholeAndTellsItsEnd) {
  Source s{pattern(40000, 1)};
  ASSERT_EQ(startStream(streamOf(s)), 0);
  EXPECT_TRUE(streamRunning(&s));
  EXPECT_FALSE(isPlaying());   // background sound does not hold up speech waits
  waitForStream(s);
  EXPECT_EQ(s.endedCount, 1);
  EXPECT_EQ(s.droppedBytes, 0u);
  closeWavePlayer();
  EXPECT_EQ(heardAt(48000), s.data);
}

TEST_F(WaveStreamTest, SpeechInAnotherFormatInterruptsAndTheStreamGoesOn) {
  Source s{pattern(64000, 2)};
  ASSERT_EQ(startStream(streamOf(s)), 0);
  pause(100);
  Bytes speech = pattern(6000, 3);
  EXPECT_EQ(playSamples(speech.data(), speech.size(), 11025, 1, 8), 0);
  waitWhilePlaying();
  waitForStream(s);
  closeWavePlayer();
  EXPECT_EQ(s.endedCount, 1);
  Bytes heard = heardAt(48000);
  // Nothing of the stream is lost; what the switch cut into is heard again.
  EXPECT_GE(heard.size(), s.data.size());
  EXPECT_LE(heard.size(), s.data.size() + kWaveBufferBytes);
  EXPECT_TRUE(std::equal(s.data.end() - 8000, s.data.end(), heard.end() - 8000));
  Bytes speechHeard = heardAt(11025);
  EXPECT_EQ(speechHeard.size(), speech.size());
}

TEST_F(WaveStreamTest, SpeechInTheSameFormatIsNotInterleaved) {
  Source s{pattern(100000, 4)};
  ASSERT_EQ(startStream(streamOf(s)), 0);
  Bytes speech(30000, 0x55);
  EXPECT_EQ(playSamples(speech.data(), speech.size(), 48000, 1, 16), 0);
  waitWhilePlaying();
  waitForStream(s);
  // The speech buffers come one after the other, the stream before and after.
  std::vector<bool> isSpeech;
  for (auto& r : plays()) isSpeech.push_back(r.data.front() == 0x55 && r.data.back() == 0x55);
  auto firstSpeech = std::find(isSpeech.begin(), isSpeech.end(), true);
  auto lastSpeech = std::find(isSpeech.rbegin(), isSpeech.rend(), true).base();
  ASSERT_NE(firstSpeech, isSpeech.end());
  EXPECT_TRUE(std::all_of(firstSpeech, lastSpeech, [](bool b) { return b; }));
  EXPECT_NE(lastSpeech, isSpeech.end());   // the stream went on after it
}

TEST_F(WaveStreamTest, KeyPressSilencesSpeechButNotTheStream) {
  Source s{pattern(64000, 5)};
  ASSERT_EQ(startStream(streamOf(s)), 0);
  pause(50);
  injectKeys("x");
  EXPECT_FALSE(isPlaying());   // the key stops what is queued...
  EXPECT_TRUE(streamRunning(&s));   // ...and the stream reads on
  flushKeyQueue();
  waitForStream(s);
  EXPECT_GT(s.droppedBytes, 0u);
  closeWavePlayer();
  Bytes heard = heardAt(48000);
  EXPECT_GE(heard.size(), s.data.size());
  EXPECT_TRUE(std::equal(s.data.end() - 8000, s.data.end(), heard.end() - 8000));
}

TEST_F(WaveStreamTest, StoppingOrReplacingAStream) {
  Source a{pattern(64000, 6)};
  Source b{pattern(20000, 7)};
  ASSERT_EQ(startStream(streamOf(a)), 0);
  stopStream(&b);   // not b's stream: nothing happens
  EXPECT_TRUE(streamRunning(&a));
  ASSERT_EQ(startStream(streamOf(b)), 0);
  EXPECT_FALSE(streamRunning(&a));
  EXPECT_EQ(a.endedCount, 1);   // a hears it was replaced
  stopStream(&b);
  EXPECT_FALSE(streamRunning(&b));
  EXPECT_EQ(b.endedCount, 0);   // b asked for it
  EXPECT_GT(b.droppedBytes, 0u);
  // A tone replaces a stream as well.
  ASSERT_EQ(startStream(streamOf(b)), 0);
  Bytes tone = test::wavBytes(8000, 8, 1, Bytes(800, 200));
  EXPECT_EQ(loopWaveImage(tone.data(), tone.size()), 0);
  EXPECT_FALSE(streamRunning(&b));
  EXPECT_EQ(b.endedCount, 1);
  pause(20);
  stopLoop();
  // Once the tone's format is open, nothing of the stream is handed over.
  auto rs = records();
  auto toneOpen = std::find_if(rs.begin(), rs.end(), [](const CaptureRecord& r) {
    return r.kind == Kind::open && r.format.rate == 8000;
  });
  ASSERT_NE(toneOpen, rs.end());
  EXPECT_TRUE(std::none_of(toneOpen, rs.end(), [](const CaptureRecord& r) {
    return r.kind == Kind::play && r.format.rate == 48000;
  }));
  WaveStream bad = streamOf(a);
  bad.bits = 12;
  EXPECT_NE(startStream(bad), 0);
}

}  // namespace
}  // namespace varlo
