// The createcd command's work: its arguments, the recorder and source checks,
// and the xorriso arguments that burn a disc or write an ISO image.
#include "production/cd_generation_burner.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace varlo {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool readSpeed(std::string_view text, int& speed) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), speed);
  return error == std::errc() && end == text.data() + text.size() && speed >= 0;
}

bool isDriveLetter(std::string_view recorder) {
  return (recorder.size() == 1 || (recorder.size() == 2 && recorder[1] == ':')) &&
         std::isalpha(static_cast<unsigned char>(recorder[0]));
}

bool matchesMask(const std::string& name, const std::string& mask) {
  if (mask == "*.*" || mask == "*") return true;
  return fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

}  // namespace

bool parseBurnArguments(const std::vector<std::string>& args, BurnRequest& request,
                        std::string& error) {
  for (const std::string& arg : args) {
    std::string_view a = arg;
    if (startsWith(a, "-r:")) {
      request.recorder = arg.substr(3);
    } else if (startsWith(a, "-s:")) {
      if (!readSpeed(a.substr(3), request.speed)) {
        error = "Velocidade inválida: " + arg;
        return false;
      }
    } else if (startsWith(a, "-l:")) {
      request.label = arg.substr(3);
    } else if (a == "-eject") {
      request.eject = true;
    } else if (a == "-v") {
      request.verbose = true;
    } else if (startsWith(a, "-") && a.size() > 1) {
      error = "Opção desconhecida: " + arg;
      return false;
    } else {
      request.source = arg;
    }
  }
  if (request.recorder.empty()) error = "Falta o gravador (-r:dispositivo ou -r:imagem.iso)";
  else if (request.source.empty()) error = "Falta o que gravar (por exemplo \"/livros/*.*\")";
  return error.empty();
}

bool isImagePath(std::string_view recorder) {
  if (recorder.size() < 4) return false;
  std::string end(recorder.substr(recorder.size() - 4));
  std::transform(end.begin(), end.end(), end.begin(), ::tolower);
  return end == ".iso";
}

std::string recorderDevice(std::string_view recorder) {
  return isDriveLetter(recorder) ? "/dev/sr0" : std::string(recorder);
}

std::string recorderProblem(std::string_view recorder) {
  std::string path(recorder);
  if (!isImagePath(recorder)) {
    std::string device = recorderDevice(recorder);
    return access(device.c_str(), F_OK) == 0 ? "" : "O gravador " + device + " não foi encontrado.";
  }
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  struct stat info;
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    return "A pasta da imagem não existe: " + folder;
  if (access(folder.c_str(), W_OK | X_OK) != 0)
    return "Sem permissão para gravar a imagem na pasta " + folder;
  return "";
}

std::vector<std::string> sourceEntries(const std::string& pattern) {
  size_t slash = pattern.find_last_of('/');
  std::string directory = slash == std::string::npos ? "." : pattern.substr(0, slash);
  std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (directory.empty()) directory = "/";
  std::vector<std::string> entries;
  DIR* dir = opendir(directory.c_str());
  if (!dir) return entries;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name[0] != '.' && matchesMask(name, mask))
      entries.push_back(directory == "/" ? "/" + name : directory + "/" + name);
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end());
  return entries;
}

std::string volumeId(std::string_view label, std::string_view today) {
  std::string id(label.empty() ? today : label);
  if (id.size() <= 32) return id;
  size_t cut = 32;
  while (cut > 0 && (static_cast<unsigned char>(id[cut]) & 0xC0) == 0x80) --cut;  // inside a UTF-8 letter
  return id.substr(0, cut);
}

std::vector<std::string> xorrisoArguments(const BurnRequest& request,
                                          const std::vector<std::string>& entries,
                                          const std::string& output,
                                          std::string_view today) {
  std::vector<std::string> args = {
      "-report_about", request.verbose ? "UPDATE" : "SORRY",
      "-abort_on", "FAILURE",
      "-outdev", output,
      "-volid", volumeId(request.label, today),
      "-joliet", "on",
      "-rockridge", "on"};
  if (request.speed > 0 && !isImagePath(request.recorder))
    args.insert(args.end(), {"-speed", std::to_string(request.speed) + "c"});
  for (const std::string& entry : entries)
    args.insert(args.end(), {"-map", entry, "/" + entry.substr(entry.find_last_of('/') + 1)});
  bool eject = request.eject && !isImagePath(request.recorder);
  args.insert(args.end(), {"-commit_eject", eject ? "all" : "none"});
  return args;
}

}  // namespace varlo
