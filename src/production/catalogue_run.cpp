// Planning a catalogue, running its books as separate processes and taking
// in what they made.
#include "production/catalogue_run.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "platform/file_lock.h"
#include "platform/file_moves.h"
#include "platform/process.h"
#include "production/text_lines.h"
#include "sound/id3_length.h"

namespace varlo {

namespace fs = std::filesystem;

namespace {

std::string lockPath(const std::string& destination, const std::string& folder) {
  return catalogueWorkArea(destination) + "/" + folder + ".trava";
}

std::string scratchFolder(const std::string& destination, const std::string& folder) {
  return catalogueWorkArea(destination) + "/" + folder + ".parcial";
}

// A finished book's own small manifest: what rebuilds a lost manifest.
std::string stampPath(const std::string& destination, const std::string& folder) {
  return catalogueWorkArea(destination) + "/" + folder + ".feito";
}

// Where the one-shot job leaves a book in its scratch folder (an EPUB book
// is one file, NAME.epub, alone in the audio folder).
std::string madeFolder(const CatalogueJob& job, const std::string& folder) {
  std::string scratch = scratchFolder(job.destination, folder);
  if (job.format == "DAISY") return scratch + "/WAVMP3/" + folder + "_DAISY";
  return job.format == "EPUB" ? scratch + "/WAVMP3" : scratch + "/" + folder;
}

// Every file of a book's folder, by name, with the audio's length.
std::vector<CatalogueFile> listFiles(const std::string& directory, double& seconds) {
  std::vector<CatalogueFile> files;
  seconds = 0;
  std::error_code error;
  for (fs::recursive_directory_iterator it(directory, error), end; !error && it != end;
       it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    std::string path = it->path().string();
    files.push_back({path.substr(directory.size() + 1), uint64_t(it->file_size(error))});
    if (path.ends_with(".mp3")) seconds += double(fileTagLength(path)) / 1000.0;
  }
  std::sort(files.begin(), files.end(),
            [](const CatalogueFile& a, const CatalogueFile& b) { return a.name < b.name; });
  return files;
}

// The book's folder holds every file the manifest lists, at its size.
bool filesIntact(const std::string& directory, const std::vector<CatalogueFile>& files) {
  std::error_code error;
  for (const CatalogueFile& f : files)
    if (fs::file_size(directory + "/" + f.name, error) != f.size || error) return false;
  return !files.empty();
}

// Changes the manifest under its lock: read, change, write. False when it
// could not be read or written.
bool changeManifest(const std::string& destination, const std::function<void(Catalogue&)>& change) {
  int lock = lockFile(catalogueWorkArea(destination) + "/manifesto.trava");
  Catalogue catalogue;
  bool ok = readManifest(destination, catalogue);
  if (ok) {
    change(catalogue);
    ok = writeManifest(destination, catalogue);
  }
  unlockFile(lock);
  return ok;
}

bool setBook(const std::string& destination, const CatalogueBook& book) {
  return changeManifest(destination, [&](Catalogue& c) {
    if (CatalogueBook* b = findBook(c, book.folder)) *b = book;
  });
}

void readStamp(const std::string& path, CatalogueBook& book) {
  Catalogue one;
  if (readManifestFile(path, one) && one.books.size() == 1) book = one.books.front();
}

// A book found in the source folder: what it is to be in the new manifest.
CatalogueBook judgeBook(const CatalogueJob& job, const std::string& source,
                        const std::string& folder, const Catalogue& old) {
  CatalogueBook book;
  book.folder = folder;
  book.source = source;
  book.settings = job.settings;
  std::string path = job.origin + "/" + source;
  TextFacts facts;
  if (!scanTextFile(path, facts)) {
    book.state = BookState::failed;
    book.reason = "não consegui ler o livro (sem permissão de leitura?)";
    return book;
  }
  if (facts.binary || facts.blank) {
    book.state = BookState::failed;
    book.reason = facts.binary ? "o arquivo não é um texto" : "o livro está vazio";
    return book;
  }
  book.checksum = fileChecksum(path);
  auto same = [&](const CatalogueBook& b) {
    return b.folder == folder && b.state == BookState::done && b.checksum == book.checksum &&
           b.settings == book.settings && b.source == source &&
           filesIntact(job.destination + "/" + folder, b.files);
  };
  const CatalogueBook* prior = nullptr;
  for (const CatalogueBook& b : old.books)
    if (b.folder == folder) prior = &b;
  // The book's own entry, written before the manifest: it holds when the
  // manifest was lost, or the run ended between the two.
  CatalogueBook stamped;
  readStamp(stampPath(job.destination, folder), stamped);
  if ((prior && same(*prior)) || same(stamped)) {
    // A run ended while taking the book in may have left its scratch folder
    // and the book's older version.
    int lock = tryLockFile(lockPath(job.destination, folder), false);
    std::error_code error;
    std::string scratch = scratchFolder(job.destination, folder);
    if (lock >= 0) {
      fs::remove_all(scratch, error);
      fs::remove_all(scratch + ".antigo", error);
    }
    unlockFile(lock);
    return prior && same(*prior) ? *prior : stamped;
  }
  // Another process holds the book: it stays as that process left it.
  int lock = tryLockFile(lockPath(job.destination, folder), false);
  if (lock < 0 && prior) {
    book.state = prior->state;
    book.checksum = prior->checksum;
  }
  unlockFile(lock);
  return book;
}

// The texts under the source folder, relative to it, in order.
std::vector<std::string> findTexts(const std::string& origin) {
  std::vector<std::string> texts;
  std::error_code error;
  auto options = fs::directory_options::skip_permission_denied;
  for (fs::recursive_directory_iterator it(origin, options, error), end; !error && it != end;
       it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.starts_with(".") && it->is_directory(error)) {
      it.disable_recursion_pending();
      continue;
    }
    std::string extension = name.size() > 4 ? name.substr(name.size() - 4) : "";
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".txt" && it->is_regular_file(error))
      texts.push_back(it->path().string().substr(origin.size() + 1));
  }
  std::sort(texts.begin(), texts.end());
  return texts;
}

std::string oneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  std::string shown = text;
  std::replace(shown.begin(), shown.end(), '.', ',');
  return shown;
}

std::string timeLeft(double seconds) {
  if (seconds < 90) return std::to_string(int(seconds + 0.5)) + " s";
  if (seconds < 5400) return std::to_string(int(seconds / 60 + 0.5)) + " min";
  return oneDecimal(seconds / 3600) + " h";
}

// foundDone: another process had made the book meanwhile.
enum class Taken { done, foundDone, failed, later };

std::string endedHow(int status) {
  if (status > 128) return "a conversão foi interrompida (sinal " + std::to_string(status - 128) + ")";
  if (status < 0) return "não consegui iniciar a conversão";
  return "a conversão terminou com o código " + std::to_string(status);
}

// Takes in what a book's process left, once it has ended.
Taken takeBook(const CatalogueJob& job, const std::string& folder, int status) {
  if (status == kBookLocked) return Taken::later;
  int lock = tryLockFile(lockPath(job.destination, folder), false);
  if (lock < 0) return Taken::later;
  // The manifest is only ever renamed into place: it can be read unlocked.
  CatalogueBook book;
  Catalogue current;
  readManifest(job.destination, current);
  if (CatalogueBook* b = findBook(current, folder)) book = *b;
  Taken taken = book.state == BookState::done ? Taken::foundDone : Taken::failed;
  std::string scratch = scratchFolder(job.destination, folder);
  std::string made = madeFolder(job, folder);
  std::string final = job.destination + "/" + folder;
  std::error_code error;
  if (taken == Taken::failed && status == 0 && fs::is_directory(made, error)) {
    book.files = listFiles(made, book.seconds);
    book.checksum = fileChecksum(scratch + "/" + folder + ".txt");
    // An older book of the name gives way only once the new one is whole.
    std::string older = scratch + ".antigo";
    fs::remove_all(older, error);
    bool moved = !book.files.empty() &&
                 (!fs::exists(final, error) || renameWithoutReplacing(final, older)) &&
                 renameWithoutReplacing(made, final);
    if (moved) {
      book.state = BookState::done;
      book.reason.clear();
      writeManifestFile(stampPath(job.destination, folder), Catalogue{"", {book}});
      fs::remove_all(older, error);
      taken = Taken::done;
    } else {
      book.state = BookState::failed;
      book.reason = "não consegui pôr o livro na sua pasta " + final;
    }
  } else if (taken == Taken::failed) {
    book.state = BookState::failed;
    book.reason = status == 0 ? "a conversão não deixou nenhum arquivo de áudio" : endedHow(status);
  }
  fs::remove_all(scratch, error);
  if (!setBook(job.destination, book)) job.tell("não consegui gravar o manifesto em " + job.destination);
  unlockFile(lock);
  if (taken == Taken::failed) job.tell("o livro " + book.source + " falhou: " + book.reason);
  return taken;
}

struct RunningBook {
  int pid;
  std::string folder;
};

void tellProgress(const CatalogueJob& job, size_t madeHere, double elapsed, size_t leftHere) {
  Catalogue c;
  if (!readManifest(job.destination, c)) return;
  size_t done = 0;
  double seconds = 0;
  for (const CatalogueBook& b : c.books) {
    if (b.state != BookState::done) continue;
    ++done;
    seconds += b.seconds;
  }
  std::string line = std::to_string(done) + " de " + std::to_string(c.books.size()) +
                     " livros prontos; " + oneDecimal(seconds / 3600) + " horas de áudio";
  if (madeHere > 0 && leftHere > 0)
    line += "; faltam cerca de " + timeLeft(elapsed / double(madeHere) * double(leftHere));
  job.tell(line);
}

}  // namespace

std::string catalogueWorkArea(const std::string& destination) { return destination + "/.catalogo"; }

bool planCatalogue(const CatalogueJob& job, Catalogue& catalogue, std::string& refusal) {
  std::error_code error;
  if (!fs::is_directory(job.origin, error)) {
    refusal = "a pasta de origem " + job.origin + " não existe";
    return false;
  }
  fs::path origin = fs::canonical(job.origin, error);
  fs::path destination = fs::weakly_canonical(job.destination, error);
  std::string within = origin.string() == "/" ? "/" : origin.string() + "/";
  if (destination == origin || destination.string().starts_with(within)) {
    refusal = "a pasta de destino " + job.destination +
              " fica dentro da pasta de origem; escolha uma pasta fora dela";
    return false;
  }
  fs::create_directories(catalogueWorkArea(job.destination), error);
  if (!fs::is_directory(catalogueWorkArea(job.destination), error)) {
    refusal = "não consegui criar a pasta de destino " + job.destination;
    return false;
  }
  int lock = lockFile(catalogueWorkArea(job.destination) + "/manifesto.trava");
  Catalogue old;
  std::string manifest = job.destination + "/" + kManifestName;
  bool whole = readManifest(job.destination, old);
  if (!whole && fs::exists(manifest, error)) {
    std::string kept = manifest + ".danificado";
    std::rename(manifest.c_str(), kept.c_str());
    job.tell("o manifesto estava incompleto ou foi alterado à mão; foi refeito a partir dos "
             "livros prontos, e o antigo ficou em " + kept);
  }
  catalogue = Catalogue{job.origin, {}};
  std::vector<std::string> texts = findTexts(job.origin);
  std::vector<std::string> folders;
  for (const std::string& t : texts) folders.push_back(bookFolderName(t));
  for (size_t i = 0; i < texts.size(); ++i) {
    std::string other;
    for (size_t j = 0; j < texts.size() && other.empty(); ++j)
      if (j != i && sameFolderName(folders[i], folders[j])) other = texts[j];
    if (other.empty()) {
      catalogue.books.push_back(judgeBook(job, texts[i], folders[i], old));
      continue;
    }
    CatalogueBook book;
    book.folder = folders[i];
    book.source = texts[i];
    book.settings = job.settings;
    book.state = BookState::failed;
    book.reason = "a pasta " + folders[i] + " seria a mesma do livro " + other +
                  "; mude o nome de um deles";
    catalogue.books.push_back(book);
  }
  // A book whose text left the source folder keeps what was made of it.
  for (const CatalogueBook& b : old.books)
    if (b.state == BookState::done && !findBook(catalogue, b.folder)) catalogue.books.push_back(b);
  std::sort(catalogue.books.begin(), catalogue.books.end(),
            [](const CatalogueBook& a, const CatalogueBook& b) { return a.folder < b.folder; });
  bool written = writeManifest(job.destination, catalogue);
  unlockFile(lock);
  if (!written) refusal = "não consegui gravar o manifesto em " + job.destination;
  for (const CatalogueBook& b : catalogue.books)
    if (written && b.state == BookState::failed) job.tell("o livro " + b.source + " falhou: " + b.reason);
  return written;
}

std::vector<std::string> booksToMake(const Catalogue& catalogue) {
  std::vector<std::string> folders;
  for (const CatalogueBook& b : catalogue.books)
    if (b.state == BookState::waiting || b.state == BookState::running) folders.push_back(b.folder);
  return folders;
}

size_t runCatalogue(const CatalogueJob& job, const std::vector<std::string>& folders) {
  std::vector<std::string> waiting(folders.rbegin(), folders.rend());
  std::vector<RunningBook> running;
  std::vector<std::string> heldElsewhere;
  size_t failed = 0, made = 0;
  auto start = std::chrono::steady_clock::now();
  while ((!waiting.empty() || !running.empty()) && !(job.stopped && job.stopped())) {
    while (running.size() < size_t(std::max(1, job.slots)) && !waiting.empty()) {
      std::string folder = waiting.back();
      waiting.pop_back();
      std::vector<std::string> argv = {job.program, "--catalogo-livro", job.format,
                                       job.destination, folder};
      int pid = startProgram(argv, false, job.environment).pid;
      if (pid >= 0) {
        running.push_back({pid, folder});
      } else if (takeBook(job, folder, -1) == Taken::failed) {
        ++failed;
      }
    }
    bool ended = false;
    for (size_t i = 0; i < running.size();) {
      int status = checkProgram(running[i].pid);
      if (status == kStillRunning) {
        ++i;
        continue;
      }
      std::string folder = running[i].folder;
      running.erase(running.begin() + long(i));
      ended = true;
      Taken taken = takeBook(job, folder, status);
      if (taken == Taken::later) {
        // Another process converts it: it is looked at again after the rest.
        if (std::find(heldElsewhere.begin(), heldElsewhere.end(), folder) == heldElsewhere.end()) {
          heldElsewhere.push_back(folder);
          job.tell("o livro " + folder + " está sendo convertido por outro processo; espero por ele");
        }
        waiting.insert(waiting.begin(), folder);
        continue;
      }
      if (taken == Taken::foundDone) continue;
      failed += taken == Taken::failed;
      ++made;
      double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      tellProgress(job, made, elapsed, waiting.size() + running.size());
    }
    if (!ended) usleep(100000);
    else if (running.empty() && !waiting.empty() && waiting.size() <= heldElsewhere.size())
      usleep(500000);   // only books of other processes are left
  }
  return failed;
}

int becomeBookJob(const CatalogueJob& job, const std::string& folder) {
  int lock = tryLockFile(lockPath(job.destination, folder), true);
  if (lock < 0) return kBookLocked;
  CatalogueBook book;
  std::string origin;
  bool known = false;
  changeManifest(job.destination, [&](Catalogue& c) {
    origin = c.origin;
    CatalogueBook* b = findBook(c, folder);
    known = b && b->state != BookState::done;
    if (known) b->state = BookState::running;
    if (b) book = *b;
  });
  if (!known) return book.folder.empty() ? 1 : 0;
  std::string scratch = scratchFolder(job.destination, folder);
  std::string text = folder + ".txt";
  std::error_code error;
  fs::remove_all(scratch, error);
  fs::create_directories(scratch, error);
  if (error || !copyFileReplacing(origin + "/" + book.source, scratch + "/" + text) ||
      chdir(scratch.c_str()) != 0)
    return 1;
  std::vector<std::string> environment = {"VARLO_CONSOLE=headless", "VARLO_AUDIO=null",
                                          "XDG_RUNTIME_DIR=" + scratch};
  becomeProgram({job.program, "--formato", job.format, text}, environment, true);
  return 1;
}

std::vector<std::string> catalogueSummary(const Catalogue& catalogue) {
  size_t counts[4] = {0, 0, 0, 0};
  double seconds = 0;
  for (const CatalogueBook& b : catalogue.books) {
    ++counts[int(b.state)];
    if (b.state == BookState::done) seconds += b.seconds;
  }
  std::vector<std::string> lines = {
      "Catálogo de " + catalogue.origin + ": " + std::to_string(catalogue.books.size()) + " livros",
      "  prontos: " + std::to_string(counts[int(BookState::done)]) + " (" +
          oneDecimal(seconds / 3600) + " horas de áudio)",
      "  convertendo: " + std::to_string(counts[int(BookState::running)]),
      "  esperando: " + std::to_string(counts[int(BookState::waiting)]),
      "  com falha: " + std::to_string(counts[int(BookState::failed)])};
  for (const CatalogueBook& b : catalogue.books)
    if (b.state == BookState::failed) lines.push_back("  falhou " + b.source + ": " + b.reason);
  return lines;
}

}  // namespace varlo
