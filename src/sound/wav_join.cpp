// Joining WAV files: every file is brought to the format of the first one
// and its samples are appended to the scratch file "ARQ_WAV.$$$" beside the
// target, whose header is written last (RF64 once the audio passes 4 GiB);
// the scratch file then replaces the join target.
// A file in another format is converted in memory, so the user's file on
// disk is never changed.
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/wav_buffer.h"
#include "console/console.h"
#include "base/codepage.h"
#include "base/regular_file.h"
#include "sound/problem_report.h"
#include "sound/wave_player.h"

namespace varlo {

namespace {

constexpr size_t kCopyBlock = 16384;
constexpr const char* kScratchName = "ARQ_WAV.$$$";

enum class Appended { ok, skipped, writeFailed };

struct JoinState {
  std::string scratchName;   // in the target's directory, so the rename stays on its disk
  std::FILE* scratch = nullptr;
  int rate = 0;   // 0: the target format is not set yet
  int bits = 0;
  int channels = 0;
  uint64_t total = 0;
  std::vector<uint8_t> block = std::vector<uint8_t>(kCopyBlock);
};

JoinState join;

void say(const char* utf8, const std::string& after = "") {
  reportProblem(utf8ToCp1252(utf8) + after);
}

bool sameFormat(const WaveFormat& f) {
  return int(f.sampleRate) == join.rate && f.bitsPerSample == join.bits &&
         f.channels == join.channels;
}

// Writes to the scratch file and makes sure it reached the disk's cache, so
// that a full disk shows up at the block that did not fit.
bool writeScratch(const void* data, size_t n) {
  return std::fwrite(data, 1, n, join.scratch) == n && std::fflush(join.scratch) == 0;
}

void sayWriteFailed() { say("Erro ao gravar arquivo, programa cancelado"); }

// Copies the data chunk; a short read is reported once and ends the copy,
// and only whole frames are kept so later audio stays aligned.
Appended copyData(std::FILE* file, const WaveInfo& info) {
  if (std::fseek(file, long(info.dataOffset), SEEK_SET) != 0) return Appended::skipped;
  size_t frame = std::max<size_t>(1, size_t(info.format.blockAlign));
  for (uint64_t left = info.dataSize; left > 0;) {
    size_t want = size_t(std::min<uint64_t>(left, kCopyBlock));
    size_t got = std::fread(join.block.data(), 1, want, file);
    bool shortRead = got < want;
    if (shortRead || left == got) got -= got % frame;
    if (got > 0 && !writeScratch(join.block.data(), got)) return Appended::writeFailed;
    join.total += got;
    if (shortRead) {
      say("Arquivo original danificado");
      break;
    }
    left -= want;
  }
  return Appended::ok;
}

void sorry() {
  writeText("\r\n");
  say("Desculpe, não pude inserir o efeito desejado");
  writeText("\r\n");
}

// The file's audio in the join's format, converted in memory and appended.
Appended appendConverted(const std::string& name) {
  TAmostras original;
  TAmostras converted;
  bool loaded = original.load(name);
  if (loaded) {
    converted.resampleFrom(original, join.rate);
    converted.setBits(join.bits);
    converted.setChannels(join.channels);
  }
  bool reached = loaded && converted.rate() == join.rate &&
                 converted.channels() == join.channels && (join.bits == 8 || join.bits == 16);
  if (!reached) {
    sorry();
    return Appended::skipped;
  }
  if (!converted.writeSamples(join.scratch) || std::fflush(join.scratch) != 0)
    return Appended::writeFailed;
  join.total += converted.dataBytes();
  return Appended::ok;
}

Appended appendFile(const std::string& name) {
  WaveInfo info;
  bool readable = readWaveInfo(name, info);
  if (readable && join.rate == 0) {
    join.rate = int(info.format.sampleRate);
    join.bits = info.format.bitsPerSample;
    join.channels = info.format.channels;
  }
  std::FILE* file = openRegularFile(name, "rb");
  if (!file) {
    say("Arquivo não encontrado: ", name);
    return Appended::skipped;
  }
  if (readable && sameFormat(info.format)) {
    Appended result = copyData(file, info);
    std::fclose(file);
    return result;
  }
  std::fclose(file);
  if (!readable) {
    sorry();
    return Appended::skipped;
  }
  return appendConverted(name);
}

bool startJoin(const std::string& target) {
  size_t slash = target.find_last_of('/');
  join.scratchName = (slash == std::string::npos ? "" : target.substr(0, slash + 1)) + kScratchName;
  join.rate = join.bits = join.channels = 0;
  join.total = 0;
  join.scratch = createScratchFile(join.scratchName, "w+b");
  std::array<uint8_t, 44> placeholder{};
  if (join.scratch && writeScratch(placeholder.data(), placeholder.size())) return true;
  if (join.scratch) std::fclose(join.scratch);
  join.scratch = nullptr;
  std::remove(join.scratchName.c_str());
  sorry();
  return false;
}

// Writes the real header; false (said) when the result is not safely on disk.
bool finishJoin() {
  bool written = finishWavFile(join.scratch, join.rate, join.bits, join.channels, join.total);
  bool closed = std::fclose(join.scratch) == 0;
  join.scratch = nullptr;
  if (!written) say("Não consegui gravar tamanho do arquivo");
  if (!closed) say("Não consegui fechar o arquivo destino");
  return written && closed;
}

void abandonJoin() {
  if (join.scratch) std::fclose(join.scratch);
  join.scratch = nullptr;
  std::remove(join.scratchName.c_str());
}

}  // namespace

JoinResult joinWav(const std::string& fileName, int position, const std::string& target) {
  if (!startJoin(target)) return JoinResult::skipped;
  std::vector<std::string> order;
  if (position == 1) order.push_back(fileName);
  order.push_back(target);
  if (position == 2) order.push_back(fileName);
  for (const std::string& name : order) {
    if (appendFile(name) == Appended::writeFailed) {
      sayWriteFailed();
      abandonJoin();
      return JoinResult::diskFull;
    }
  }
  if (!finishJoin()) {
    abandonJoin();
    return JoinResult::diskFull;
  }
  if (std::rename(join.scratchName.c_str(), target.c_str()) != 0) {
    sayWriteFailed();
    abandonJoin();
    return JoinResult::diskFull;
  }
  return JoinResult::done;
}

bool conformWav(const std::string& fileName, int rate, int bits, int channels) {
  TAmostras original;
  TAmostras converted;
  bool loaded = original.load(fileName);
  bool silent = original.frameCount() == 0;
  if (loaded) {
    converted.resampleFrom(original, rate);
    converted.setBits(bits);
    converted.setChannels(channels);
    original.clear();
  }
  // Written beside the file first, so a failed save leaves the file whole.
  // A resampling that could not be made (more frames than a buffer holds)
  // leaves the copy empty in the old rate: never saved over the file.
  bool reached = loaded && converted.rate() == rate && (converted.frameCount() > 0 || silent);
  std::string scratch = fileName + ".$$$";
  if (reached && converted.save(scratch) && std::rename(scratch.c_str(), fileName.c_str()) == 0)
    return true;
  std::remove(scratch.c_str());
  say("Erro de gravação : ", fileName);
  return false;
}

}  // namespace varlo
