// Reading back a capture file: its records in order, all bytes handed to the
// device, and the bytes actually heard once stops are taken off.
#include "platform/audio_capture_reader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace varlo {

namespace {

bool readRecord(std::istream& in, CaptureRecord& r) {
  std::string line;
  if (!std::getline(in, line)) return false;
  std::istringstream fields(line);
  std::string word;
  long long time = 0;
  fields >> word >> time;
  r.time = time;
  AudioFormat& f = r.format;
  if (word == "OPEN") {
    r.kind = CaptureRecord::Kind::open;
    return bool(fields >> f.rate >> f.bits >> f.channels);
  }
  if (word == "STOP") {
    r.kind = CaptureRecord::Kind::stop;
    return bool(fields >> r.unplayed);
  }
  if (word == "CLOSE") {
    r.kind = CaptureRecord::Kind::close;
    return bool(fields);
  }
  size_t bytes = 0;
  if (word != "PLAY" || !(fields >> f.rate >> f.bits >> f.channels >> bytes)) return false;
  r.kind = CaptureRecord::Kind::play;
  r.data.resize(bytes);
  in.read(reinterpret_cast<char*>(r.data.data()), std::streamsize(bytes));
  return size_t(in.gcount()) == bytes && in.get() == '\n';
}

}  // namespace

std::vector<CaptureRecord> readCapture(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<CaptureRecord> records;
  CaptureRecord r{};
  while (readRecord(in, r)) {
    records.push_back(std::move(r));
    r = CaptureRecord{};
  }
  return records;
}

std::vector<uint8_t> capturedBytes(const std::vector<CaptureRecord>& records) {
  std::vector<uint8_t> all;
  for (const CaptureRecord& r : records)
    if (r.kind == CaptureRecord::Kind::play) all.insert(all.end(), r.data.begin(), r.data.end());
  return all;
}

std::vector<uint8_t> heardBytes(const std::vector<CaptureRecord>& records) {
  std::vector<uint8_t> heard;
  size_t sinceStop = 0;   // bytes handed over since the last stop
  for (const CaptureRecord& r : records) {
    if (r.kind == CaptureRecord::Kind::play) {
      heard.insert(heard.end(), r.data.begin(), r.data.end());
      sinceStop += r.data.size();
    } else if (r.kind == CaptureRecord::Kind::stop) {
      size_t cut = std::min(r.unplayed, sinceStop);
      heard.resize(heard.size() - cut);
      sinceStop = 0;
    }
  }
  return heard;
}

}  // namespace varlo
