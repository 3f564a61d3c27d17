// Speech Dispatcher through libspeechd in its threaded mode. Every command
// to the server waits for its answer, and a server busy with a module that
// will not stop can keep it waiting for seconds: the commands of a
// connection therefore run on a thread of their own, and speaking, stopping
// and closing only hand them over. The library's reader thread delivers the
// events of our messages, from which the driver keeps the set of messages
// said and not yet ended or cancelled.
#include "engines/speechd_driver.h"

#include <libspeechd.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "base/codepage.h"
#include "console/console.h"
#include "platform/process.h"
#include "platform/timed_call.h"

namespace varlo {
namespace {

struct Voice {
  std::string name;       // the server's identifier, UTF-8
  std::string language;
};

// A command for the connection's thread.
struct Job {
  enum class Kind { voices, say, cancel, stop, close } kind;
  std::string text;       // UTF-8, for say
  unsigned generation = 0;
};

// One connection and the thread that talks to it; the thread owns it from
// its close on.
struct Link {
  SPDConnection* connection = nullptr;
  size_t clientId = 0;
  std::deque<Job> jobs;          // under events.lock
  std::condition_variable wake;
  std::atomic<bool> lost{false};
  size_t lastId = 0;             // the connection thread's
  int wantedVoice = 0;           // selected once the list has come
  std::vector<Voice> voices;     // under events.lock; Brazilian Portuguese first
};

// Shared by the program's thread, the connection thread and the library's
// reader thread; all of it is about the open connection's client.
struct Events {
  std::mutex lock;
  size_t clientId = 0;           // events of other clients are old ones
  std::set<size_t> speaking;     // said, no end or cancel event yet
  std::set<size_t> endedEarly;   // the event came before spd_say returned
  int unsent = 0;                // texts handed over, not yet said to the server
  unsigned generation = 0;       // counts the stops: older texts are cancelled
  size_t cancelledUpTo = 0;      // events of these messages no longer count
  Link* link = nullptr;          // the open connection's
};

struct Driver {
  std::shared_ptr<Link> link;
  bool inPump = false;
};

Driver d;
// Never destroyed: the library's reader thread and a connection thread
// still closing may use it while the program ends.
Events& events = *new Events;

// A server with many voices takes seconds to list them (espeak-ng's
// thousands of variants): the list is asked for once per server, by the
// connection's thread, and kept. Under events.lock.
struct VoiceCache {
  std::string address;   // SPEECHD_ADDRESS, "" for the desktop's server
  bool known = false;
  std::vector<Voice> voices;
};
VoiceCache& cache = *new VoiceCache;   // never destroyed, as events

std::string serverAddress() {
  const char* named = std::getenv("SPEECHD_ADDRESS");
  return named ? named : "";
}

std::vector<Voice> listVoices(SPDConnection* c);

// Voice 0 is the first, as for the old engine interface.
void selectVoice(SPDConnection* c, const std::vector<Voice>& voices, int voiceNumber) {
  int voice = voiceNumber == 0 ? 1 : voiceNumber;
  if (voice >= 1 && voice <= int(voices.size()))
    spd_set_synthesis_voice(c, voices[voice - 1].name.c_str());
}

void onFinished(size_t id, size_t client, SPDNotificationType) {
  std::lock_guard<std::mutex> hold(events.lock);
  if (client != events.clientId || id <= events.cancelledUpTo) return;
  if (events.speaking.erase(id) == 0) events.endedEarly.insert(id);
}

// Under events.lock.
void post(Link& link, Job job) {
  link.jobs.push_back(std::move(job));
  link.wake.notify_one();
}

// The server may still begin a message it received just before a cancel.
void onBegin(size_t id, size_t client, SPDNotificationType) {
  std::lock_guard<std::mutex> hold(events.lock);
  if (events.link && client == events.clientId && id <= events.cancelledUpTo)
    post(*events.link, {Job::Kind::stop, ""});
}

// Under events.lock: texts not yet said are dropped.
void dropUnsent(Link& link) {
  std::erase_if(link.jobs, [](const Job& job) { return job.kind == Job::Kind::say; });
  events.unsent = 0;
}

void runJob(Link& link, const Job& job) {
  SPDConnection* c = link.connection;
  if (job.kind == Job::Kind::voices) {
    std::vector<Voice> voices;
    {
      std::lock_guard<std::mutex> hold(events.lock);
      voices = link.voices;
    }
    selectVoice(c, voices, link.wantedVoice);
  } else if (job.kind == Job::Kind::say) {
    int id = link.lost ? -1 : spd_say(c, SPD_TEXT, job.text.c_str());
    std::lock_guard<std::mutex> hold(events.lock);
    if (id < 0) link.lost = true;
    if (id > 0) link.lastId = size_t(id);
    if (link.clientId != events.clientId) return;
    events.unsent = std::max(0, events.unsent - 1);
    // A text stopped before it was said is cancelled by the job behind it.
    if (id > 0 && job.generation == events.generation && events.endedEarly.erase(size_t(id)) == 0)
      events.speaking.insert(size_t(id));
  } else if (job.kind == Job::Kind::cancel) {
    if (!link.lost) spd_cancel(c);
    std::lock_guard<std::mutex> hold(events.lock);
    if (link.clientId != events.clientId) return;
    events.cancelledUpTo = link.lastId;
    events.speaking.clear();
    events.endedEarly.clear();
  } else if (job.kind == Job::Kind::stop) {
    if (!link.lost) spd_stop(c);
  }
}

void serve(std::shared_ptr<Link> link) {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> hold(events.lock);
      link->wake.wait(hold, [&] { return !link->jobs.empty(); });
      job = std::move(link->jobs.front());
      link->jobs.pop_front();
    }
    if (job.kind == Job::Kind::close) break;
    runJob(*link, job);
  }
  if (!link->lost) spd_cancel(link->connection);
  spd_close(link->connection);
}

bool isBrazilian(const std::string& language) {
  std::string lower = language;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
    return c == '_' ? '-' : char(std::tolower(c));
  });
  return lower == "pt-br";
}

// Brazilian Portuguese voices first.
std::vector<Voice> listVoices(SPDConnection* c) {
  std::vector<Voice> brazilian, others;
  SPDVoice** all = spd_list_synthesis_voices(c);
  for (SPDVoice** v = all; v && *v; ++v) {
    Voice voice{(*v)->name ? (*v)->name : "", (*v)->language ? (*v)->language : ""};
    if (voice.name.empty()) continue;
    (isBrazilian(voice.language) ? brazilian : others).push_back(voice);
  }
  if (all) free_spd_voices(all);
  brazilian.insert(brazilian.end(), others.begin(), others.end());
  return brazilian;
}

// The reader thread ends silently when the server goes away; the socket
// tells.
bool connectionLost() {
  Link* link = d.link.get();
  if (!link || link->lost) return true;
  pollfd p{link->connection->socket, POLLRDHUP, 0};
  if (poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)))
    link->lost = true;
  return link->lost;
}

// The server's scale runs from -100 to 100, 0 its default. Settings of
// -10..10 are steps of ten, as the rate of the other voices; larger ones
// are the old engine interface's own units, kept for its users: words per
// minute for the speed, hertz for the pitch, around `normal`.
int serverScale(int setting, int normal) {
  if (setting >= -10 && setting <= 10) return setting * 10;
  return std::clamp((setting - normal) * 100 / normal, -100, 100);
}

// A connection set up on a helper thread, so that a server that takes the
// connection and never answers cannot hold the program: the caller gives up
// after a while, and the helper closes what it opened when it ends late.
struct Attempt {
  std::mutex lock;
  bool abandoned = false;
  bool finished = false;
  SPDConnection* connection = nullptr;
  size_t clientId = 0;
  std::vector<Voice> voices;
  bool listed = false;   // the voices came from the cache
};

// What a server has to answer in; well above its usual tens of milliseconds.
constexpr int kServerAnswerMs = 2500;

// Whether nothing listens at a server's local socket. A server that is not
// there at all is told by its socket alone: the library's failed open
// leaks a string it made for the attempt, once at every try.
bool nobodyListens(const SPDConnectionAddress& address) {
  sockaddr_un where{};
  where.sun_family = AF_UNIX;
  if (address.method != SPD_METHOD_UNIX_SOCKET || !address.unix_socket_name ||
      std::strlen(address.unix_socket_name) >= sizeof where.sun_path)
    return false;
  std::strcpy(where.sun_path, address.unix_socket_name);
  int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (probe < 0) return false;
  bool refused = connect(probe, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0;
  close(probe);
  return refused;
}

// The library's own start of a server is never used: it waits without a
// limit for a server that may never answer.
SPDConnection* openConnection(SPDConnectionMode mode) {
  char* error = nullptr;
  SPDConnectionAddress* address = spd_get_default_address(&error);
  free(error);
  error = nullptr;
  SPDConnection* c = address && !nobodyListens(*address)
                         ? spd_open2("varlo", "main", nullptr, mode, address, 0, &error)
                         : nullptr;
  if (address) SPDConnectionAddress__free(address);
  free(error);
  return c;
}

// A server lists its voices slowly (espeak-ng's, with their variants, are
// thousands: seconds), so they are listed on a connection of their own and
// speech never waits behind the list. The connection's thread then selects
// the wanted voice.
void listInBackground(std::shared_ptr<Link> link, std::string address) {
  SPDConnection* c = openConnection(SPD_MODE_SINGLE);
  if (!c) return;
  std::vector<Voice> voices = listVoices(c);
  spd_close(c);
  std::lock_guard<std::mutex> hold(events.lock);
  if (!voices.empty()) cache = {address, true, voices};
  link->voices = std::move(voices);
  post(*link, {Job::Kind::voices, ""});
}

void setUp(Attempt& attempt, int voiceNumber, int speed, int pitch) {
  SPDConnection* c = openConnection(SPD_MODE_THREADED);
  // The library answers a connection even when the server hung up during
  // the greeting; the first command tells.
  if (c && spd_set_language(c, "pt-BR") != 0) {
    spd_close(c);
    c = nullptr;
  }
  if (!c) {
    std::lock_guard<std::mutex> hold(attempt.lock);
    attempt.finished = true;
    return;
  }
  c->callback_end = onFinished;
  c->callback_cancel = onFinished;
  c->callback_begin = onBegin;
  spd_set_notification_on(c, SPD_BEGIN);
  spd_set_notification_on(c, SPD_END);
  spd_set_notification_on(c, SPD_CANCEL);
  spd_set_punctuation(c, SPD_PUNCT_NONE);
  std::vector<Voice> voices;
  bool listed = false;
  {
    std::lock_guard<std::mutex> hold(events.lock);
    if (cache.known && cache.address == serverAddress()) {
      voices = cache.voices;
      listed = true;
    }
  }
  selectVoice(c, voices, voiceNumber);
  spd_set_voice_rate(c, serverScale(speed, 180));
  spd_set_voice_pitch(c, serverScale(pitch, 120));
  spd_set_volume(c, 100);
  int clientId = spd_get_client_id(c);
  std::lock_guard<std::mutex> hold(attempt.lock);
  attempt.finished = true;
  if (attempt.abandoned) {
    spd_close(c);
    return;
  }
  attempt.connection = c;
  attempt.clientId = size_t(std::max(clientId, 0));
  attempt.voices = std::move(voices);
  attempt.listed = listed;
}

// An attempt given up on while its server still has not answered: until it
// does, a new one would only wait again.
std::shared_ptr<Attempt> unanswered;

bool connectInTime(int voiceNumber, int speed, int pitch) {
  if (unanswered) {
    std::lock_guard<std::mutex> hold(unanswered->lock);
    if (!unanswered->finished) return false;
  }
  unanswered.reset();
  auto attempt = std::make_shared<Attempt>();
  runWithin(kServerAnswerMs, [attempt, voiceNumber, speed, pitch] {
    setUp(*attempt, voiceNumber, speed, pitch);
  });
  std::lock_guard<std::mutex> hold(attempt->lock);
  attempt->abandoned = true;
  if (!attempt->finished) unanswered = attempt;
  if (!attempt->connection) return false;
  d.link = std::make_shared<Link>();
  d.link->connection = attempt->connection;
  d.link->clientId = attempt->clientId;
  d.link->wantedVoice = voiceNumber;
  {
    std::lock_guard<std::mutex> holdEvents(events.lock);
    d.link->voices = std::move(attempt->voices);
    if (!attempt->listed) std::thread(listInBackground, d.link, serverAddress()).detach();
    events.clientId = attempt->clientId;
    events.speaking.clear();
    events.endedEarly.clear();
    events.unsent = 0;
    events.cancelledUpTo = 0;
    events.link = d.link.get();
  }
  std::thread(serve, d.link).detach();
  return true;
}

}  // namespace

bool speechdOpen(int voiceNumber, int speed, int pitch, std::string_view outputFile) {
  speechdClose();
  if (!outputFile.empty()) return false;
  // The desktop's own server is started on demand, as its clients do,
  // when nothing listens; a server named in SPEECHD_ADDRESS is someone
  // else's to start.
  const char* named = std::getenv("SPEECHD_ADDRESS");
  if (!connectInTime(voiceNumber, speed, pitch) && !unanswered && !(named && *named) &&
      !findProgram("speech-dispatcher").empty() &&
      runProgramLimited({"speech-dispatcher", "--spawn"}, "", nullptr, kServerAnswerMs, 0) == 0)
    connectInTime(voiceNumber, speed, pitch);
  return d.link != nullptr;
}

void speechdClose() {
  if (!d.link) return;
  std::lock_guard<std::mutex> hold(events.lock);
  dropUnsent(*d.link);
  post(*d.link, {Job::Kind::close, ""});
  events.link = nullptr;
  events.clientId = 0;
  events.speaking.clear();
  events.endedEarly.clear();
  d.link.reset();
}

void speechdSpeak(std::string_view text) {
  if (connectionLost()) return;
  std::string utf8 = cp1252ToUtf8(text);
  if (utf8.find_first_not_of(" \t\r\n") == std::string::npos) return;
  std::lock_guard<std::mutex> hold(events.lock);
  ++events.unsent;
  post(*d.link, {Job::Kind::say, std::move(utf8), events.generation});
}

bool speechdIsSpeaking() {
  if (connectionLost()) return false;
  std::lock_guard<std::mutex> hold(events.lock);
  return events.unsent > 0 || !events.speaking.empty();
}

// Silent at once for the program; the server hears of it when its thread
// gets to it.
void speechdStop() {
  if (connectionLost()) return;
  std::lock_guard<std::mutex> hold(events.lock);
  ++events.generation;
  dropUnsent(*d.link);
  events.speaking.clear();
  events.endedEarly.clear();
  post(*d.link, {Job::Kind::cancel, ""});
}

bool speechdLost() { return d.link && connectionLost(); }

void speechdPump() {
  if (d.inPump || !d.link) return;
  d.inPump = true;
  if (keyPending() && speechdIsSpeaking()) speechdStop();
  d.inPump = false;
}

int speechdVoiceTotal() {
  if (!d.link) return 0;
  std::lock_guard<std::mutex> hold(events.lock);
  return int(d.link->voices.size());
}

std::string speechdVoiceName(int voiceNumber) {
  if (!d.link) return "";
  std::lock_guard<std::mutex> hold(events.lock);
  const std::vector<Voice>& voices = d.link->voices;
  if (voiceNumber < 1 || voiceNumber > int(voices.size())) return "";
  const Voice& v = voices[voiceNumber - 1];
  return utf8ToCp1252(v.language.empty() ? v.name : v.name + " (" + v.language + ")");
}

}  // namespace varlo
