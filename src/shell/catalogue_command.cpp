// The catalogue's command line: reading its options, planning the books,
// running them here or handing them to Slurm, and the summary.
#include "shell/catalogue_command.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "base/config.h"
#include "platform/process.h"
#include "production/catalogue_run.h"
#include "shell/app_state.h"
#include "shell/command_line_job.h"

namespace varlo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Uso: varlo [--formato daisy|epub|mp3] --catalogo ORIGEM DESTINO\n"
    "     varlo [--formato daisy|epub|mp3] --catalogo --slurm [--particao P] [--tempo T]\n"
    "           [--simultaneas N] [--livros-por-tarefa N] ORIGEM DESTINO\n"
    "     varlo --catalogo --estado DESTINO\n";

volatile std::sig_atomic_t endingSignal = 0;

void noteEndingSignal(int signal) { endingSignal = signal; }

// A book being taken in when the catalogue is ended from outside is taken
// in whole; the books under way end with this process.
void stopOnEndingSignals(CatalogueJob& job) {
  std::signal(SIGTERM, noteEndingSignal);
  std::signal(SIGINT, noteEndingSignal);
  std::signal(SIGHUP, noteEndingSignal);
  job.stopped = [] { return endingSignal != 0; };
}

void tell(const std::string& line) { std::fprintf(stderr, "varlo: %s\n", line.c_str()); }

[[noreturn]] void usage(const std::string& problem) {
  std::fprintf(stderr, "varlo: %s\n%s", problem.c_str(), kUsage);
  std::exit(2);
}

// Everything in the settings that changes the audio a book becomes.
std::string audioSettings(const std::string& format) {
  AppState s;
  loadAppState(s);
  loadVoiceOnFirstUse(s);
  return "formato=" + format + " linhas=" +
         std::to_string(linesPerPartSetting(readSetting("VARLO", "QUEBRARLINHA"))) +
         " mp3=" + s.mp3Options + " voz=" + std::to_string(s.sapiType) + "," +
         std::to_string(s.sapiVoice) + "," + std::to_string(s.sapiSpeed) + "," +
         std::to_string(s.sapiPitch) + " fala=" + std::to_string(s.suiteSpeechSpeed) +
         " silencio=" + s.withSilence + " efeito=" + s.withEffect + " cabecalho=" +
         s.writeHeader + " somefeito=" + readSetting("VARLO", "SOMEFEITO") +
         " autor=" + s.bookAuthor;
}

std::string selfPath() {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? "varlo" : self.string();
}

std::string absolute(const std::string& path) {
  std::error_code error;
  fs::path full = fs::absolute(path, error);
  std::string text = (error ? fs::path(path) : full).lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

CatalogueJob jobFor(const std::string& format, const std::string& destination) {
  CatalogueJob job;
  job.destination = absolute(destination);
  if (format.empty()) {
    AppState s;
    loadAppState(s);
    job.format = s.bookFormat;
  } else {
    job.format = format;
  }
  job.program = selfPath();
  job.tell = tell;
  return job;
}

[[noreturn]] void showState(const std::string& destination) {
  Catalogue catalogue;
  if (!readManifest(absolute(destination), catalogue)) {
    tell("não há um manifesto inteiro em " + destination +
         "; rode o catálogo de novo para refazê-lo");
    std::exit(1);
  }
  for (const std::string& line : catalogueSummary(catalogue)) std::printf("%s\n", line.c_str());
  std::exit(0);
}

size_t failedBooks(const std::string& destination) {
  Catalogue catalogue;
  size_t failed = 0;
  if (readManifest(destination, catalogue))
    for (const CatalogueBook& b : catalogue.books) failed += b.state == BookState::failed;
  return failed;
}

// Words for a shell script, in single quotes.
std::string quoted(const std::string& word) {
  std::string text = "'";
  for (char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return text + "'";
}

struct SlurmOptions {
  std::string partition, timeLimit, throttle;
  size_t booksPerTask = 1;
};

// One array task per book still to make, or per batch of them; each task
// runs this program for its books, and a task that is requeued starts its
// unfinished books afresh.
[[noreturn]] void submitToSlurm(const CatalogueJob& job, const std::vector<std::string>& folders,
                                const SlurmOptions& options) {
  if (folders.empty()) {
    tell("todos os livros já estão prontos; nada foi enviado ao Slurm");
    std::exit(failedBooks(job.destination) > 0);
  }
  std::string area = catalogueWorkArea(job.destination);
  std::string stamp = std::to_string(std::time(nullptr)) + "-" + std::to_string(getpid());
  std::string list = area + "/slurm-" + stamp + ".lista";
  std::string script = area + "/slurm-" + stamp + ".sh";
  {
    std::ofstream out(list);
    for (const std::string& f : folders) out << f << "\n";
    std::ofstream run(script);
    run << "#!/bin/sh\n# Uma tarefa do catálogo: o livro da linha SLURM_ARRAY_TASK_ID da lista.\n"
        << "exec " << quoted(job.program) << " --catalogo-tarefa " << quoted(job.format) << " "
        << quoted(job.destination) << " " << quoted(list) << " " << options.booksPerTask << "\n";
    if (!out || !run) {
      tell("não consegui gravar a lista de tarefas em " + area);
      std::exit(1);
    }
  }
  size_t tasks = (folders.size() + options.booksPerTask - 1) / options.booksPerTask;
  std::string array = "--array=1-" + std::to_string(tasks);
  if (!options.throttle.empty()) array += "%" + options.throttle;
  std::vector<std::string> argv = {"sbatch", "--parsable", "--requeue", "--job-name=varlo-catalogo",
                                   array, "--output=" + area + "/slurm-%A_%a.txt"};
  if (!options.partition.empty()) argv.push_back("--partition=" + options.partition);
  if (!options.timeLimit.empty()) argv.push_back("--time=" + options.timeLimit);
  argv.push_back(script);
  std::string output;
  int status = runProgram(argv, ProgramMode::background, &output);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  if (status != 0) {
    tell(status < 0 ? "o comando sbatch não foi encontrado; o Slurm está instalado?"
                    : "o Slurm recusou o catálogo: " + output);
    std::exit(1);
  }
  tell("catálogo enviado ao Slurm: trabalho " + output + ", " + std::to_string(folders.size()) +
       " livros em " + std::to_string(tasks) + " tarefas; acompanhe com varlo --catalogo --estado " +
       job.destination);
  std::printf("%s\n", output.c_str());
  std::exit(0);
}

// A Slurm array task n of `perTask` books: lines (n - 1) * perTask + 1 to
// n * perTask of the list.
[[noreturn]] void runTask(CatalogueJob& job, const std::string& list, const std::string& perTask) {
  const char* index = std::getenv("SLURM_ARRAY_TASK_ID");
  long wanted = index ? std::atol(index) : 0;
  long per = std::max(1L, std::atol(perTask.c_str()));
  std::ifstream in(list);
  std::vector<std::string> folders;
  std::string folder;
  for (long n = 1; n <= wanted * per && std::getline(in, folder); ++n)
    if (n > (wanted - 1) * per && !folder.empty()) folders.push_back(folder);
  if (folders.empty()) {
    tell("a tarefa " + std::string(index ? index : "?") + " não tem livro na lista " + list);
    std::exit(1);
  }
  job.slots = 1;
  stopOnEndingSignals(job);
  size_t failed = runCatalogue(job, folders);
  std::exit(endingSignal != 0 ? 128 + endingSignal : failed > 0 ? 1 : 0);
}

}  // namespace

void runCatalogueCommand(const std::string& format, int argc, char** argv) {
  std::string mode = argv[0];
  std::vector<std::string> words(argv + 1, argv + argc);
  if (mode == "--catalogo-livro" && words.size() == 3) {
    CatalogueJob job = jobFor(words[0], words[1]);
    std::exit(becomeBookJob(job, words[2]));
  }
  if (mode == "--catalogo-tarefa" && words.size() == 4) {
    CatalogueJob job = jobFor(words[0], words[1]);
    runTask(job, words[2], words[3]);
  }
  if (mode != "--catalogo") usage("opção desconhecida: " + mode);
  bool slurm = false;
  SlurmOptions options;
  std::vector<std::string> folders;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    bool valued = w == "--particao" || w == "--tempo" || w == "--simultaneas" ||
                  w == "--livros-por-tarefa";
    if (valued && i + 1 == words.size()) usage("falta o valor de " + w);
    if (w == "--estado") {
      if (words.size() != i + 2) usage("--estado pede só a pasta de destino");
      showState(words[i + 1]);
    } else if (w == "--slurm") {
      slurm = true;
    } else if (w == "--particao") {
      options.partition = words[++i];
    } else if (w == "--tempo") {
      options.timeLimit = words[++i];
    } else if (w == "--simultaneas") {
      options.throttle = words[++i];
      if (options.throttle.find_first_not_of("0123456789") != std::string::npos)
        usage("--simultaneas pede um número de tarefas");
    } else if (w == "--livros-por-tarefa") {
      int per = std::atoi(words[++i].c_str());
      if (per < 1 || words[i].find_first_not_of("0123456789") != std::string::npos)
        usage("--livros-por-tarefa pede um número de livros");
      options.booksPerTask = size_t(per);
    } else if (w.starts_with("--")) {
      usage("opção desconhecida: " + w);
    } else {
      folders.push_back(w);
    }
  }
  if (folders.size() != 2) usage("o catálogo pede a pasta de origem e a de destino");
  CatalogueJob job = jobFor(format, folders[1]);
  job.origin = absolute(folders[0]);
  job.settings = audioSettings(job.format);
  Catalogue catalogue;
  std::string refusal;
  if (!planCatalogue(job, catalogue, refusal)) {
    tell(refusal + "; o catálogo não foi convertido");
    std::exit(1);
  }
  std::vector<std::string> toMake = booksToMake(catalogue);
  if (slurm) submitToSlurm(job, toMake, options);
  // Each book renders on one core and encodes on its share of them.
  int cores = coreCount();
  job.slots = std::max(1, std::min(cores, int(toMake.size())));
  job.environment = {"VARLO_CORES=" + std::to_string(std::max(1, cores / job.slots))};
  stopOnEndingSignals(job);
  tell(std::to_string(catalogue.books.size()) + " livros no catálogo, " +
       std::to_string(toMake.size()) + " a converter, " + std::to_string(job.slots) +
       " de cada vez");
  runCatalogue(job, toMake);
  if (endingSignal != 0) {
    tell("catálogo interrompido; os livros prontos ficam, e o mesmo comando continua o resto");
    std::exit(128 + endingSignal);
  }
  size_t failed = failedBooks(job.destination);
  if (failed > 0) {
    tell("catálogo terminado, mas " + std::to_string(failed) +
         (failed == 1 ? " livro falhou" : " livros falharam") +
         "; veja varlo --catalogo --estado " + job.destination);
    std::exit(1);
  }
  tell("catálogo terminado: todos os livros estão prontos em " + job.destination);
  std::exit(0);
}

}  // namespace varlo
