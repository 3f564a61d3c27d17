// voice-clarity: measures how clear and how natural rendered speech is, for
// the voice comparison bench (bench/voice_clarity.sh).
//   voice-clarity speak LIST OUTDIR
//       says each line of LIST (UTF-8) through the speech front end and
//       writes what the sound layer was given for it to OUTDIR/NNN.wav; run
//       with VARLO_AUDIO=capture:FILE (the capture is read back).
//   voice-clarity measure DIR VOICE...
//       DIR holds sentences.txt, words.txt (closed sets, one per line),
//       pairs.txt (question, statement) and, per voice, VOICE/s/NNN.wav,
//       VOICE/w/NNN.wav, VOICE/q/NNN.wav; prints one column per voice.
//   voice-clarity identify DIR VOICE REFERENCE...
//       share of the words of VOICE/w recognised among their closed set by
//       MFCC and dynamic time warping against the renderings REFERENCE/w.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "console/console.h"
#include "platform/audio_capture_reader.h"
#include "sound/wav_buffer.h"
#include "speech/speech.h"

using namespace varlo;
namespace fs = std::filesystem;

namespace {

constexpr double kNothing = std::numeric_limits<double>::quiet_NaN();

struct Sound {
  std::vector<double> x;
  int rate = 0;
};

Sound loadSound(const std::string& path) {
  TAmostras wav;
  Sound s;
  if (!wav.load(path) || wav.channels() != 1) return s;
  s.rate = wav.rate();
  for (int16_t v : wav.samples()) s.x.push_back(v / 32768.0);
  return s;
}

std::vector<std::string> readLines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string numbered(size_t i) {
  char name[16];
  std::snprintf(name, sizeof name, "%03zu.wav", i);
  return name;
}

// --- speaking through the front end -------------------------------------

// The 8-bit or 16-bit mono samples of play records, as 16-bit.
void appendSamples(const CaptureRecord& r, std::vector<int16_t>& out, int& rate) {
  if (r.format.channels != 1) return;
  rate = r.format.rate;
  if (r.format.bits == 8)
    for (uint8_t b : r.data) out.push_back(int16_t((int(b) - 128) * 256));
  else
    for (size_t i = 0; i + 1 < r.data.size(); i += 2) out.push_back(int16_t(r.data[i] | r.data[i + 1] << 8));
}

int speakList(const std::string& list, const fs::path& outDir) {
  const char* audio = std::getenv("VARLO_AUDIO");
  std::string capture = audio && std::string(audio).rfind("capture:", 0) == 0 ? audio + 8 : "";
  if (capture.empty()) return std::fprintf(stderr, "voice-clarity: VARLO_AUDIO=capture:FILE is needed\n"), 2;
  openConsole();
  initSpeech(0, "");
  fs::create_directories(outDir);
  size_t seen = 0, index = 0;
  for (const std::string& line : readLines(list)) {
    speak(utf8ToCp1252(line));
    waitWhileBusy();
    std::vector<CaptureRecord> records = readCapture(capture);
    std::vector<int16_t> samples;
    int rate = 11025;
    for (size_t i = seen; i < records.size(); ++i)
      if (records[i].kind == CaptureRecord::Kind::play) appendSamples(records[i], samples, rate);
    seen = records.size();
    TAmostras wav(1, 0, 16, rate);
    for (size_t i = 0; i < samples.size(); ++i) wav.setSample(int(i), makeFrame(samples[i], samples[i]));
    wav.setRate(rate);
    if (!wav.save((outDir / numbered(++index)).string()))
      return std::fprintf(stderr, "voice-clarity: cannot write %s\n", (outDir / numbered(index)).c_str()), 1;
  }
  shutdownSpeech();
  return 0;
}

// --- signal measures ------------------------------------------------------

void fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    std::complex<double> w(std::cos(2 * M_PI / double(len)), -std::sin(2 * M_PI / double(len)));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> wk(1);
      for (size_t k = 0; k < len / 2; ++k, wk *= w) {
        std::complex<double> u = a[i + k], v = a[i + k + len / 2] * wk;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

size_t powerOfTwoAtLeast(size_t n) {
  size_t p = 1;
  while (p < n) p <<= 1;
  return p;
}

// Power spectrum (bins 0..n/2) of a Hann-windowed frame starting at `from`.
std::vector<double> powerSpectrum(const Sound& s, size_t from, size_t length, size_t n) {
  std::vector<std::complex<double>> a(n);
  for (size_t i = 0; i < length && from + i < s.x.size(); ++i)
    a[i] = s.x[from + i] * (0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(length - 1)));
  fft(a);
  std::vector<double> p(n / 2 + 1);
  for (size_t k = 0; k <= n / 2; ++k) p[k] = std::norm(a[k]);
  return p;
}

double toDb(double power) { return 10 * std::log10(power + 1e-20); }

// Level (dB) of frames of `windowMs` every `hopMs`.
std::vector<double> levels(const Sound& s, double windowMs, double hopMs) {
  const size_t window = size_t(s.rate * windowMs / 1000), hop = std::max<size_t>(1, size_t(s.rate * hopMs / 1000));
  std::vector<double> out;
  for (size_t from = 0; from + window <= s.x.size(); from += hop) {
    double sum = 0;
    for (size_t i = from; i < from + window; ++i) sum += s.x[i] * s.x[i];
    out.push_back(toDb(sum / double(window)));
  }
  return out;
}

double maxOf(const std::vector<double>& v) {
  return v.empty() ? -200 : *std::max_element(v.begin(), v.end());
}

double median(std::vector<double> v) {
  v.erase(std::remove_if(v.begin(), v.end(), [](double d) { return std::isnan(d); }), v.end());
  if (v.empty()) return kNothing;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

constexpr double kHopMs = 10;

// Fundamental frequency every 10 ms (0 = unvoiced): the normalised
// autocorrelation of a 40 ms window, computed by FFT and divided by the
// window's own autocorrelation, must peak above 0.6 between 70 and 450 Hz
// on a frame within 35 dB of the loudest.
std::vector<double> pitchTrack(const Sound& s) {
  const size_t window = size_t(s.rate * 0.04), hop = size_t(s.rate * kHopMs / 1000);
  const size_t n = powerOfTwoAtLeast(2 * window);
  const int minLag = int(s.rate / 450.0), maxLag = int(s.rate / 70.0);
  std::vector<double> level = levels(s, 40, kHopMs);
  const double loudest = maxOf(level);
  std::vector<double> windowCorr(size_t(maxLag) + 2);
  {
    std::vector<std::complex<double>> w(n);
    for (size_t i = 0; i < window; ++i) w[i] = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(window - 1));
    fft(w);
    for (auto& c : w) c = std::norm(c);
    fft(w);
    for (int lag = 0; lag <= maxLag + 1; ++lag) windowCorr[size_t(lag)] = w[size_t(lag)].real() / w[0].real();
  }
  std::vector<double> f0;
  for (size_t frame = 0; frame < level.size(); ++frame) {
    if (level[frame] < loudest - 35) {
      f0.push_back(0);
      continue;
    }
    std::vector<std::complex<double>> a(n);
    const size_t from = frame * hop;
    double mean = 0;
    for (size_t i = 0; i < window; ++i) mean += s.x[from + i];
    mean /= double(window);
    for (size_t i = 0; i < window; ++i)
      a[i] = (s.x[from + i] - mean) * (0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(window - 1)));
    fft(a);
    for (auto& c : a) c = std::norm(c);
    fft(a);
    const double zero = a[0].real();
    double best = 0;
    int bestLag = 0;
    for (int lag = minLag; lag <= maxLag && zero > 0; ++lag) {
      double r = a[size_t(lag)].real() / zero / windowCorr[size_t(lag)];
      if (r > best) {
        best = r;
        bestLag = lag;
      }
    }
    f0.push_back(best > 0.6 ? double(s.rate) / bestLag : 0);
  }
  return f0;
}

double semitones(double hz) { return 12 * std::log2(hz / 100); }

// Voiced-frame spectra summed: level of the octaves at 2 and 4 kHz re the
// 500-1000 Hz octave.
struct Balance {
  double power[3] = {};
};

void addBalance(const Sound& s, Balance& b) {
  std::vector<double> f0 = pitchTrack(s);
  const size_t window = size_t(s.rate * 0.032), hop = size_t(s.rate * kHopMs / 1000);
  const size_t n = powerOfTwoAtLeast(window);
  const double bands[3][2] = {{500, 1000}, {1414, 2828}, {2828, 5657}};
  for (size_t frame = 0; frame < f0.size(); ++frame) {
    if (f0[frame] == 0 || frame * hop + window > s.x.size()) continue;
    std::vector<double> p = powerSpectrum(s, frame * hop, window, n);
    for (size_t k = 1; k < p.size(); ++k) {
      const double hz = double(k) * s.rate / double(n);
      for (int band = 0; band < 3; ++band)
        if (hz >= bands[band][0] && hz < bands[band][1]) b.power[band] += p[k];
    }
  }
}

// Share of all energy above 5.5 kHz (dB), or nothing when none is there
// (sounds whose rate cannot carry it count only in the whole).
double highShare(const std::vector<Sound>& sounds) {
  double high = 0, all = 0;
  for (const Sound& s : sounds) {
    const size_t window = size_t(s.rate * 0.032), n = powerOfTwoAtLeast(window);
    for (size_t from = 0; from + window <= s.x.size(); from += window) {
      std::vector<double> p = powerSpectrum(s, from, window, n);
      for (size_t k = 1; k < p.size(); ++k) {
        all += p[k];
        if (double(k) * s.rate / double(n) > 5500 && s.rate > 12000) high += p[k];
      }
    }
  }
  return high > 0 ? toDb(high / all) : kNothing;
}

// Seconds of sound: from the first to the last frame within 35 dB of the
// loudest, less the pauses (150 ms or more below that).
double soundSeconds(const Sound& s) {
  std::vector<double> level = levels(s, 10, 10);
  const double floor = maxOf(level) - 35;
  size_t first = level.size(), last = 0, frames = 0, quiet = 0;
  for (size_t i = 0; i < level.size(); ++i)
    if (level[i] >= floor) {
      first = std::min(first, i);
      last = i;
    }
  for (size_t i = first; i <= last && first < level.size(); ++i) {
    if (level[i] < floor) {
      ++quiet;
      continue;
    }
    frames += 1 + (quiet < 15 ? quiet : 0);
    quiet = 0;
  }
  return double(frames) / 100;
}

// Syllables of a Portuguese text: groups of vowels, a strong vowel after a
// strong vowel (hiatus, "poeta") starting a new one.
int syllables(const std::string& utf8) {
  const std::string text = utf8ToCp1252(utf8);
  auto kind = [](unsigned char c) {
    const std::string strong = "aeoAEO\xe1\xe9\xf3\xe2\xea\xf4\xe3\xf5\xe0\xc1\xc9\xd3\xc2\xca\xd4\xc3\xd5\xc0";
    const std::string weak = "iuyIUY\xed\xfa\xfc\xcd\xda\xdc";
    return strong.find(char(c)) != std::string::npos ? 2 : weak.find(char(c)) != std::string::npos ? 1 : 0;
  };
  int count = 0, previous = 0;
  for (unsigned char c : text) {
    int k = kind(c);
    if (k && (!previous || (k == 2 && previous == 2))) ++count;
    previous = k;
  }
  return count;
}

// Semitones of the voiced frames after a 5-frame median, without frames
// more than 9 st off the utterance's median (the tracker's octave slips);
// an unvoiced frame is NaN.
std::vector<double> smoothedSemitones(const Sound& s) {
  std::vector<double> f0 = pitchTrack(s), st(f0.size(), kNothing);
  for (size_t i = 2; i + 2 < f0.size(); ++i) {
    std::vector<double> near(f0.begin() + long(i) - 2, f0.begin() + long(i) + 3);
    if (std::count(near.begin(), near.end(), 0.0) > 1 || f0[i] == 0) continue;
    near.erase(std::remove(near.begin(), near.end(), 0.0), near.end());
    st[i] = semitones(median(near));
  }
  const double middle = median(st);
  for (double& v : st)
    if (std::fabs(v - middle) >= 9) v = kNothing;
  return st;
}

// Pitch spread of a sentence: SD in semitones of its voiced frames.
double pitchSpread(const Sound& s) {
  double sum = 0, squares = 0, n = 0;
  for (double v : smoothedSemitones(s))
    if (!std::isnan(v)) {
      sum += v;
      squares += v * v;
      ++n;
    }
  return n > 10 ? std::sqrt(std::max(0.0, squares / n - (sum / n) * (sum / n))) : kNothing;
}

// Movement of the last syllable (st): over the last 250 ms of voicing, the
// median of the last three voiced frames less that of the first three.
double endingMovement(const Sound& s) {
  std::vector<double> st = smoothedSemitones(s);
  size_t last = st.size();
  while (last > 0 && std::isnan(st[last - 1])) --last;
  std::vector<double> span;
  for (size_t i = last; i > 0 && last - i < 25; --i)
    if (!std::isnan(st[i - 1])) span.insert(span.begin(), st[i - 1]);
  if (span.size() < 8) return kNothing;
  return median({span.end() - 3, span.end()}) - median({span.begin(), span.begin() + 3});
}

// The stretch of a word: 5 ms levels every 2 ms and the first and last
// frames within 25 dB of the loudest.
struct Word {
  std::vector<double> level;
  double peak = 0;
  size_t first = 0, last = 0;
};

Word wordOf(const Sound& s) {
  Word w;
  w.level = levels(s, 5, 2);
  w.peak = maxOf(w.level);
  w.first = w.level.size();
  for (size_t i = 0; i < w.level.size(); ++i)
    if (w.level[i] >= w.peak - 25) {
      w.first = std::min(w.first, i);
      w.last = i;
    }
  return w;
}

// Level of the first 30 ms of a word re its vowel (the loudest 30 ms).
double onsetLevel(const Sound& s) {
  std::vector<double> level = levels(s, 30, 2);
  std::vector<double> fine = levels(s, 5, 2);
  const double peak = maxOf(level);
  for (size_t i = 0; i < fine.size() && i < level.size(); ++i)
    if (fine[i] >= peak - 40) return level[i] - peak;
  return kNothing;
}

// The longest stretch inside the word more than 30 dB below its peak (ms).
double closureMs(const Sound& s) {
  Word w = wordOf(s);
  size_t run = 0, longest = 0;
  for (size_t i = w.first; i <= w.last && w.first < w.level.size(); ++i) {
    run = w.level[i] < w.peak - 30 ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return double(longest) * 2;
}

// Narrow dips, as joins of units make them: a 5 ms level (1 ms hop) 6 dB
// or more below the louder surroundings on both sides within 10 ms, inside
// speech. Counted per second of sound; depths collected. A voice below
// about 200 Hz shows its pitch periods here too.
void addDips(const Sound& s, std::vector<double>& depths, double& seconds) {
  std::vector<double> level = levels(s, 5, 1);
  const double peak = maxOf(level);
  seconds += soundSeconds(s);
  size_t lastDip = 0;
  for (size_t i = 10; i + 10 < level.size(); ++i) {
    double left = maxOf({level.begin() + long(i) - 10, level.begin() + long(i)});
    double right = maxOf({level.begin() + long(i) + 1, level.begin() + long(i) + 11});
    double sides = std::min(left, right), depth = level[i] - sides;
    bool lowest = std::all_of(level.begin() + long(i) - 3, level.begin() + long(i) + 4,
                              [&](double v) { return v >= level[i]; });
    if (lowest && sides > peak - 30 && depth <= -6 && (depths.empty() || i > lastDip + 10)) {
      depths.push_back(depth);
      lastDip = i;
    }
  }
}

// --- word identification ----------------------------------------------------

// 12 mel cepstral coefficients every 10 ms (25 ms frames, 26 filters from
// 100 to 4500 Hz, so that rates from 11025 Hz compare), mean removed, over
// the word's stretch within 30 dB of its loudest frame.
std::vector<std::vector<double>> mfcc(const Sound& s) {
  const size_t window = size_t(s.rate * 0.025), hop = size_t(s.rate * kHopMs / 1000);
  const size_t n = powerOfTwoAtLeast(window);
  auto mel = [](double hz) { return 2595 * std::log10(1 + hz / 700); };
  auto hzOf = [](double m) { return 700 * (std::pow(10, m / 2595) - 1); };
  constexpr int kFilters = 26, kCoefficients = 12;
  std::vector<double> edges;
  for (int i = 0; i < kFilters + 2; ++i) edges.push_back(hzOf(mel(100) + (mel(4500) - mel(100)) * i / (kFilters + 1)));
  Sound e = s;
  for (size_t i = e.x.size(); i-- > 1;) e.x[i] -= 0.97 * e.x[i - 1];
  std::vector<double> level = levels(s, 25, kHopMs);
  const double loudest = maxOf(level);
  size_t first = level.size(), last = 0;
  for (size_t i = 0; i < level.size(); ++i)
    if (level[i] >= loudest - 30) {
      first = std::min(first, i);
      last = i;
    }
  std::vector<std::vector<double>> frames;
  for (size_t frame = first; frame <= last && first < level.size(); ++frame) {
    std::vector<double> p = powerSpectrum(e, frame * hop, window, n);
    std::vector<double> logs(kFilters);
    for (int f = 0; f < kFilters; ++f) {
      double sum = 0;
      for (size_t k = 1; k < p.size(); ++k) {
        const double hz = double(k) * s.rate / double(n);
        double weight = hz < edges[size_t(f)] || hz > edges[size_t(f) + 2] ? 0
                        : hz < edges[size_t(f) + 1]
                            ? (hz - edges[size_t(f)]) / (edges[size_t(f) + 1] - edges[size_t(f)])
                            : (edges[size_t(f) + 2] - hz) / (edges[size_t(f) + 2] - edges[size_t(f) + 1]);
        sum += weight * p[k];
      }
      logs[size_t(f)] = sum;
    }
    frames.push_back(logs);
  }
  // Filter energies floored 50 dB under the word's strongest, so that the
  // noise floor of an 8-bit channel and empty bands do not decide.
  double strongest = 0;
  for (const auto& f : frames) strongest = std::max(strongest, *std::max_element(f.begin(), f.end()));
  std::vector<std::vector<double>> out;
  for (auto& logs : frames) {
    for (double& e : logs) e = std::log(std::max(e, strongest * 1e-5) + 1e-20);
    std::vector<double> c(kCoefficients);
    for (int j = 1; j <= kCoefficients; ++j)
      for (int f = 0; f < kFilters; ++f) c[size_t(j - 1)] += logs[size_t(f)] * std::cos(M_PI * j * (f + 0.5) / kFilters);
    out.push_back(c);
  }
  for (int j = 0; j < kCoefficients; ++j) {
    double mean = 0;
    for (auto& c : out) mean += c[size_t(j)];
    for (auto& c : out) c[size_t(j)] -= mean / double(out.size());
  }
  return out;
}

// Dynamic time warping distance, per step of the best path.
double warpDistance(const std::vector<std::vector<double>>& a, const std::vector<std::vector<double>>& b) {
  if (a.empty() || b.empty()) return std::numeric_limits<double>::infinity();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<std::vector<double>> d(a.size() + 1, std::vector<double>(b.size() + 1, inf));
  d[0][0] = 0;
  for (size_t i = 1; i <= a.size(); ++i)
    for (size_t j = 1; j <= b.size(); ++j) {
      double cost = 0;
      for (size_t k = 0; k < a[i - 1].size(); ++k) cost += (a[i - 1][k] - b[j - 1][k]) * (a[i - 1][k] - b[j - 1][k]);
      cost = std::sqrt(cost);
      d[i][j] = std::min({d[i - 1][j - 1] + 2 * cost, d[i - 1][j] + cost, d[i][j - 1] + cost});
    }
  return d[a.size()][b.size()] / double(a.size() + b.size());
}

// The closed sets of words.txt; every word has its index in the files.
std::vector<std::vector<size_t>> wordSets(const fs::path& dir, size_t& words) {
  std::vector<std::vector<size_t>> sets;
  words = 0;
  for (const std::string& line : readLines(dir / "words.txt")) {
    std::vector<size_t> set;
    for (size_t at = 0; at < line.size();) {
      size_t end = line.find(' ', at);
      if (end == std::string::npos) end = line.size();
      if (end > at) set.push_back(++words);
      at = end + 1;
    }
    if (!set.empty()) sets.push_back(set);
  }
  return sets;
}

int identify(const fs::path& dir, const std::string& voice, const std::vector<std::string>& references) {
  size_t words = 0;
  std::vector<std::vector<size_t>> sets = wordSets(dir, words);
  std::vector<std::vector<std::vector<std::vector<double>>>> refs(words + 1);
  for (size_t w = 1; w <= words; ++w)
    for (const std::string& r : references) refs[w].push_back(mfcc(loadSound((dir / r / "w" / numbered(w)).string())));
  size_t right = 0, tried = 0;
  double chance = 0;
  for (const auto& set : sets)
    for (size_t w : set) {
      auto probe = mfcc(loadSound((dir / voice / "w" / numbered(w)).string()));
      size_t best = 0;
      double bestDistance = std::numeric_limits<double>::infinity();
      for (size_t candidate : set)
        for (const auto& ref : refs[candidate]) {
          double d = warpDistance(probe, ref);
          if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
          }
        }
      right += best == w;
      ++tried;
      chance += 1.0 / double(set.size());
    }
  std::printf("%.0f %.0f\n", tried ? 100.0 * double(right) / double(tried) : 0.0,
              tried ? 100.0 * chance / double(tried) : 0.0);
  return 0;
}

// --- the table ----------------------------------------------------------------

struct Column {
  double band2 = kNothing, band4 = kNothing, onset = kNothing, closure = kNothing;
  int gapless = 0, closureWords = 0;
  double rate = kNothing, spread = kNothing, question = kNothing, statement = kNothing;
  double dipsPerSecond = kNothing, dipDepth = kNothing, high = kNothing;
};

std::vector<Sound> soundsIn(const fs::path& dir, size_t count) {
  std::vector<Sound> sounds;
  for (size_t i = 1; i <= count; ++i) sounds.push_back(loadSound((dir / numbered(i)).string()));
  return sounds;
}

// Words of the closed sets by their first letters and their stops.
bool voicedStopOnset(const std::string& w) { return !w.empty() && (w[0] == 'b' || w[0] == 'd' || w[0] == 'g'); }
bool innerVoicelessStop(const std::string& w) {
  return w.size() > 2 && w.find_first_of("ptc", 1) != std::string::npos && w.find_first_of("ptc", 1) < w.size() - 1 &&
         w.find_first_of("aeiou", w.find_first_of("ptc", 1)) == w.find_first_of("ptc", 1) + 1;
}

Column measureVoice(const fs::path& dir, const std::string& voice) {
  Column c;
  const std::vector<std::string> sentences = readLines(dir / "sentences.txt");
  std::vector<Sound> said = soundsIn(dir / voice / "s", sentences.size());
  Balance balance;
  std::vector<double> spreads, depths;
  double seconds = 0, dipSeconds = 0;
  int count = 0;
  for (size_t i = 0; i < said.size(); ++i) {
    if (said[i].x.empty()) continue;
    addBalance(said[i], balance);
    spreads.push_back(pitchSpread(said[i]));
    seconds += soundSeconds(said[i]);
    count += syllables(sentences[i]);
    addDips(said[i], depths, dipSeconds);
  }
  c.band2 = toDb(balance.power[1] / balance.power[0]);
  c.band4 = toDb(balance.power[2] / balance.power[0]);
  c.rate = seconds > 0 ? count / seconds : kNothing;
  c.spread = median(spreads);
  c.dipsPerSecond = dipSeconds > 0 ? double(depths.size()) / dipSeconds : kNothing;
  c.dipDepth = median(depths);
  c.high = highShare(said);

  std::vector<std::string> words;
  for (const std::string& line : readLines(dir / "words.txt"))
    for (size_t at = 0; at < line.size();) {
      size_t end = line.find(' ', at);
      if (end == std::string::npos) end = line.size();
      if (end > at) words.push_back(line.substr(at, end - at));
      at = end + 1;
    }
  std::vector<double> onsets, closures;
  for (size_t i = 0; i < words.size(); ++i) {
    Sound s = loadSound((dir / voice / "w" / numbered(i + 1)).string());
    if (s.x.empty()) continue;
    if (voicedStopOnset(words[i])) onsets.push_back(onsetLevel(s));
    if (innerVoicelessStop(words[i])) {
      closures.push_back(closureMs(s));
      c.gapless += closures.back() < 10;
      ++c.closureWords;
    }
  }
  c.onset = median(onsets);
  c.closure = median(closures);

  std::vector<double> questions, statements;
  const std::vector<std::string> pairs = readLines(dir / "pairs.txt");
  for (size_t i = 0; i < pairs.size(); ++i) {
    Sound s = loadSound((dir / voice / "q" / numbered(i + 1)).string());
    (pairs[i].back() == '?' ? questions : statements).push_back(endingMovement(s));
  }
  c.question = median(questions);
  c.statement = median(statements);
  return c;
}

void row(const char* name, const std::vector<Column>& columns, double Column::*field, const char* format,
         const char* goal) {
  std::printf("%-46s", name);
  for (const Column& c : columns) {
    char cell[32];
    if (std::isnan(c.*field))
      std::snprintf(cell, sizeof cell, "%s", "none");
    else
      std::snprintf(cell, sizeof cell, format, c.*field);
    std::printf(" %10s", cell);
  }
  std::printf("   %s\n", goal);
}

int measure(const fs::path& dir, const std::vector<std::string>& voices) {
  std::vector<Column> columns;
  for (const std::string& v : voices) columns.push_back(measureVoice(dir, v));
  std::printf("%-46s", "measure");
  for (const std::string& v : voices) std::printf(" %10s", v.c_str());
  std::printf("   goal\n");
  row("voiced frames: 2 kHz octave re 500-1000 Hz, dB", columns, &Column::band2, "%+.1f", ">= -6");
  row("voiced frames: 4 kHz octave re 500-1000 Hz, dB", columns, &Column::band4, "%+.1f", ">= -12");
  row("b/d/g onset (first 30 ms) re vowel, dB", columns, &Column::onset, "%+.1f", "within 10 dB of the vowel, below it");
  row("stop closure inside words, median ms", columns, &Column::closure, "%.0f", "30-80");
  std::printf("%-46s", "  words with no closure gap");
  for (const Column& c : columns) {
    char cell[32];
    std::snprintf(cell, sizeof cell, "%d/%d", c.gapless, c.closureWords);
    std::printf(" %10s", cell);
  }
  std::printf("   0\n");
  row("syllables per second of sound", columns, &Column::rate, "%.2f", "5.5-6.5");
  row("pitch spread per sentence, median SD st", columns, &Column::spread, "%.2f", ">= 2.5");
  row("yes/no question: last-syllable movement, st", columns, &Column::question, "%+.1f", ">= +3");
  row("statement: last-syllable movement, st", columns, &Column::statement, "%+.1f", "<= -3");
  row("narrow dips (>= 6 dB, < 20 ms) per second", columns, &Column::dipsPerSecond, "%.2f",
      "recorded voice: no more than Olira");
  row("  their median depth, dB", columns, &Column::dipDepth, "%+.1f", "recorded voice: >= -6 (or no dips)");
  row("energy above 5.5 kHz re all, dB", columns, &Column::high, "%+.1f", "present");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "speak" && argc == 4) return speakList(argv[2], argv[3]);
  if (mode == "measure" && argc > 3) return measure(argv[2], {argv + 3, argv + argc});
  if (mode == "identify" && argc > 4) return identify(argv[2], argv[3], {argv + 4, argv + argc});
  std::fprintf(stderr,
               "usage: voice-clarity speak LIST OUTDIR | measure DIR VOICE... | identify DIR VOICE REFERENCE...\n");
  return 2;
}
