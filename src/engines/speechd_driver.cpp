// Speech Dispatcher through libspeechd in its threaded mode: the library's
// reader thread delivers the events of our messages, from which the driver
// keeps the set of messages said and not yet ended or cancelled.
#include "engines/speechd_driver.h"

#include <libspeechd.h>
#include <poll.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

#include "base/codepage.h"
#include "console/console.h"

namespace varlo {
namespace {

struct Voice {
  std::string name;       // the server's identifier, UTF-8
  std::string language;
};

// Shared with the library's reader thread.
struct Events {
  std::mutex lock;
  std::set<size_t> speaking;     // said, no end or cancel event yet
  std::set<size_t> endedEarly;   // the event came before spd_say returned
  size_t cancelledUpTo = 0;      // events of these messages no longer count
  // The server may still begin a message it received just before a cancel;
  // such a one is stopped as soon as the driver runs again.
  bool cancelledBegan = false;
};

struct Driver {
  SPDConnection* connection = nullptr;
  std::vector<Voice> voices;     // Brazilian Portuguese first
  bool lost = false;
  bool inPump = false;
  size_t lastId = 0;
};

Driver d;
Events events;

void onFinished(size_t id, size_t, SPDNotificationType) {
  std::lock_guard<std::mutex> hold(events.lock);
  if (id <= events.cancelledUpTo) return;
  if (events.speaking.erase(id) == 0) events.endedEarly.insert(id);
}

void onBegin(size_t id, size_t, SPDNotificationType) {
  std::lock_guard<std::mutex> hold(events.lock);
  if (id <= events.cancelledUpTo) events.cancelledBegan = true;
}

bool isBrazilian(const std::string& language) {
  std::string lower = language;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
    return c == '_' ? '-' : char(std::tolower(c));
  });
  return lower == "pt-br";
}

void listVoices() {
  d.voices.clear();
  SPDVoice** all = spd_list_synthesis_voices(d.connection);
  std::vector<Voice> others;
  for (SPDVoice** v = all; v && *v; ++v) {
    Voice voice{(*v)->name ? (*v)->name : "", (*v)->language ? (*v)->language : ""};
    if (voice.name.empty()) continue;
    (isBrazilian(voice.language) ? d.voices : others).push_back(voice);
  }
  if (all) free_spd_voices(all);
  d.voices.insert(d.voices.end(), others.begin(), others.end());
}

// The reader thread ends silently when the server goes away; the socket
// tells.
bool connectionLost() {
  if (!d.connection || d.lost) return true;
  pollfd p{d.connection->socket, POLLRDHUP, 0};
  if (poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)))
    d.lost = true;
  return d.lost;
}

void forgetMessages() {
  std::lock_guard<std::mutex> hold(events.lock);
  events.speaking.clear();
  events.endedEarly.clear();
  events.cancelledUpTo = d.lastId;
  events.cancelledBegan = false;
}

// The server's scale runs from -100 to 100, 0 its default. Settings of
// -10..10 are steps of ten, as the rate of the other voices; larger ones
// are the old engine interface's own units, kept for its users: words per
// minute for the speed, hertz for the pitch, around `normal`.
int serverScale(int setting, int normal) {
  if (setting >= -10 && setting <= 10) return setting * 10;
  return std::clamp((setting - normal) * 100 / normal, -100, 100);
}

}  // namespace

bool speechdOpen(int voiceNumber, int speed, int pitch, std::string_view outputFile) {
  speechdClose();
  if (!outputFile.empty()) return false;
  char* error = nullptr;
  SPDConnectionAddress* address = spd_get_default_address(&error);
  free(error);
  error = nullptr;
  d.connection = address ? spd_open2("varlo", "main", nullptr, SPD_MODE_THREADED, address, 1, &error)
                         : nullptr;
  if (address) SPDConnectionAddress__free(address);
  free(error);
  if (!d.connection) return false;
  d.lost = false;
  d.connection->callback_end = onFinished;
  d.connection->callback_cancel = onFinished;
  d.connection->callback_begin = onBegin;
  spd_set_notification_on(d.connection, SPD_BEGIN);
  spd_set_notification_on(d.connection, SPD_END);
  spd_set_notification_on(d.connection, SPD_CANCEL);
  spd_set_language(d.connection, "pt-BR");
  spd_set_punctuation(d.connection, SPD_PUNCT_NONE);
  listVoices();
  // Voice 0 is the first, as for the old engine interface.
  int voice = voiceNumber == 0 ? 1 : voiceNumber;
  if (voice >= 1 && voice <= int(d.voices.size()))
    spd_set_synthesis_voice(d.connection, d.voices[voice - 1].name.c_str());
  spd_set_voice_rate(d.connection, serverScale(speed, 180));
  spd_set_voice_pitch(d.connection, serverScale(pitch, 120));
  spd_set_volume(d.connection, 100);
  return true;
}

void speechdClose() {
  d.voices.clear();
  if (!d.connection) return;
  if (!connectionLost()) spd_cancel(d.connection);
  spd_close(d.connection);
  d.connection = nullptr;
  forgetMessages();
}

void speechdSpeak(std::string_view text) {
  if (connectionLost()) return;
  std::string utf8 = cp1252ToUtf8(text);
  if (utf8.find_first_not_of(" \t\r\n") == std::string::npos) return;
  int id = spd_say(d.connection, SPD_TEXT, utf8.c_str());
  if (id < 0) {
    d.lost = true;
    return;
  }
  d.lastId = size_t(id);
  std::lock_guard<std::mutex> hold(events.lock);
  if (events.endedEarly.erase(size_t(id)) == 0) events.speaking.insert(size_t(id));
}

bool speechdIsSpeaking() {
  if (connectionLost()) return false;
  std::unique_lock<std::mutex> hold(events.lock);
  if (events.cancelledBegan) {
    events.cancelledBegan = false;
    hold.unlock();
    spd_stop(d.connection);
    hold.lock();
  }
  return !events.speaking.empty();
}

void speechdStop() {
  if (connectionLost()) return;
  spd_cancel(d.connection);
  forgetMessages();
}

bool speechdLost() { return d.connection && connectionLost(); }

void speechdPump() {
  if (d.inPump || !d.connection) return;
  d.inPump = true;
  if (keyPending() && speechdIsSpeaking()) speechdStop();
  d.inPump = false;
}

int speechdVoiceTotal() { return int(d.voices.size()); }

std::string speechdVoiceName(int voiceNumber) {
  if (voiceNumber < 1 || voiceNumber > int(d.voices.size())) return "";
  const Voice& v = d.voices[voiceNumber - 1];
  return utf8ToCp1252(v.language.empty() ? v.name : v.name + " (" + v.language + ")");
}

}  // namespace varlo
