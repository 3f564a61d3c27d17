// AT-SPI 2 through libatspi. Its bus connection runs on GLib's default main
// context, which is turned over whenever a question is asked about events,
// so they are taken in as they come and only the latest is kept.
#include "platform/accessibility.h"

#include <atspi/atspi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/timed_call.h"

namespace varlo {

namespace {

constexpr int kConnectLimitMs = 3000;
constexpr int kCallLimitMs = 1000;
constexpr int kDispatchLimit = 100000;   // events handled per turn at most
constexpr int kWalkNodeLimit = 5000;
constexpr auto kWalkTimeLimit = std::chrono::seconds(3);
constexpr int kTextLimit = 64 * 1024;

constexpr const char* kEventTypes[] = {
    "object:state-changed:focused",
    "object:property-change:accessible-value",
    "focus:",
};

// Module state: the connection, the listener and the last event's object.
struct AccessibilityState {
  AccessibilityReach reach = AccessibilityReach::noBus;
  bool tried = false;
  AtspiEventListener* listener = nullptr;
  AtspiAccessible* lastSource = nullptr;
  bool fresh = false;
};
AccessibilityState bus;

bool variableSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

void forgetLastEvent() {
  if (bus.lastSource) g_object_unref(bus.lastSource);
  bus.lastSource = nullptr;
  bus.fresh = false;
}

void takeEvent(AtspiEvent* event, void*) {
  bool lostFocus = g_str_has_prefix(event->type, "object:state-changed:focused") && event->detail1 == 0;
  if (!lostFocus && event->source) {
    forgetLastEvent();
    bus.lastSource = static_cast<AtspiAccessible*>(g_object_ref(event->source));
    bus.fresh = true;
  }
  g_boxed_free(ATSPI_TYPE_EVENT, event);
}

void dispatchPending() {
  for (int i = 0; i < kDispatchLimit && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
}

// A text owned by GLib, taken over; none when the call failed.
std::optional<std::string> takeText(gchar* text, GError* error) {
  if (error) {
    g_error_free(error);
    g_free(text);
    return std::nullopt;
  }
  std::string out = text ? text : "";
  g_free(text);
  return out;
}

std::optional<std::string> areaOf(AtspiAccessible* object) {
  AtspiComponent* component = atspi_accessible_get_component_iface(object);
  if (!component) return std::string();
  GError* error = nullptr;
  AtspiRect* rect = atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, &error);
  g_object_unref(component);
  if (error || !rect) {
    if (error) g_error_free(error);
    g_free(rect);
    return std::nullopt;
  }
  std::string area = std::to_string(rect->x) + " " + std::to_string(rect->y) + " " +
                     std::to_string(rect->width) + " " + std::to_string(rect->height);
  g_free(rect);
  return area;
}

std::optional<std::string> statesOf(AtspiAccessible* object) {
  AtspiStateSet* set = atspi_accessible_get_state_set(object);
  if (!set) return std::nullopt;
  GArray* states = atspi_state_set_get_states(set);
  auto* names = static_cast<GEnumClass*>(g_type_class_ref(ATSPI_TYPE_STATE_TYPE));
  std::string text;
  for (guint i = 0; states && i < states->len; ++i) {
    GEnumValue* value = g_enum_get_value(names, g_array_index(states, AtspiStateType, i));
    if (!value) continue;
    if (!text.empty()) text += ' ';
    text += value->value_nick;
  }
  g_type_class_unref(names);
  if (states) g_array_free(states, TRUE);
  g_object_unref(set);
  return text;
}

std::optional<std::string> textContents(AtspiAccessible* object) {
  AtspiText* text = atspi_accessible_get_text_iface(object);
  if (!text) return std::string();
  GError* error = nullptr;
  gint count = atspi_text_get_character_count(text, &error);
  std::optional<std::string> contents;
  if (!error) contents = takeText(atspi_text_get_text(text, 0, std::min(count, kTextLimit), &error), error);
  else g_error_free(error);
  g_object_unref(text);
  return contents;
}

// A value control gives its number; a text control its text.
std::optional<std::string> valueOf(AtspiAccessible* object) {
  AtspiValue* value = atspi_accessible_get_value_iface(object);
  if (!value) return textContents(object);
  GError* error = nullptr;
  double current = atspi_value_get_current_value(value, &error);
  g_object_unref(value);
  if (error) {
    g_error_free(error);
    return std::nullopt;
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", current);
  return std::string(buffer);
}

std::optional<std::string> factOf(AtspiAccessible* object, AccessibleFact fact) {
  GError* error = nullptr;
  switch (fact) {
    case AccessibleFact::area: return areaOf(object);
    case AccessibleFact::name: {
      gchar* name = atspi_accessible_get_name(object, &error);
      return takeText(name, error);
    }
    case AccessibleFact::roleCode: {
      AtspiRole role = atspi_accessible_get_role(object, &error);
      if (error) return takeText(nullptr, error);
      return std::to_string(int(role));
    }
    case AccessibleFact::roleName: {
      gchar* name = atspi_accessible_get_role_name(object, &error);
      return takeText(name, error);
    }
    case AccessibleFact::states: return statesOf(object);
    case AccessibleFact::value: return valueOf(object);
  }
  return std::nullopt;
}

bool hasState(AtspiAccessible* object, AtspiStateType state) {
  AtspiStateSet* set = atspi_accessible_get_state_set(object);
  if (!set) return false;
  bool has = atspi_state_set_contains(set, state);
  g_object_unref(set);
  return has;
}

// Objects owned by the walk, released together.
struct OwnedObjects {
  std::vector<AtspiAccessible*> all;
  ~OwnedObjects() {
    for (AtspiAccessible* object : all) g_object_unref(object);
  }
  AtspiAccessible* child(AtspiAccessible* parent, int index) {
    GError* error = nullptr;
    AtspiAccessible* object = atspi_accessible_get_child_at_index(parent, index, &error);
    if (error) g_error_free(error);
    if (object) all.push_back(object);
    return object;
  }
};

int childCount(AtspiAccessible* object) {
  GError* error = nullptr;
  int count = atspi_accessible_get_child_count(object, &error);
  if (error) g_error_free(error);
  return error ? 0 : count;
}

// Depth first under the active windows of every application, within a
// bound of nodes and of time.
AtspiAccessible* findFocused(OwnedObjects& owned) {
  auto deadline = std::chrono::steady_clock::now() + kWalkTimeLimit;
  AtspiAccessible* desktop = atspi_get_desktop(0);
  if (!desktop) return nullptr;
  owned.all.push_back(desktop);
  std::vector<AtspiAccessible*> pending;
  for (int app = childCount(desktop) - 1; app >= 0; --app) {
    AtspiAccessible* application = owned.child(desktop, app);
    if (!application) continue;
    for (int w = childCount(application) - 1; w >= 0; --w) {
      AtspiAccessible* window = owned.child(application, w);
      if (window && hasState(window, ATSPI_STATE_ACTIVE)) pending.push_back(window);
    }
  }
  int visited = 0;
  while (!pending.empty() && visited++ < kWalkNodeLimit && std::chrono::steady_clock::now() < deadline) {
    AtspiAccessible* object = pending.back();
    pending.pop_back();
    if (hasState(object, ATSPI_STATE_FOCUSED)) return object;
    // Large lists and tables: their rows are not walked one by one.
    if (hasState(object, ATSPI_STATE_MANAGES_DESCENDANTS)) continue;
    for (int i = childCount(object) - 1; i >= 0; --i) {
      AtspiAccessible* child = owned.child(object, i);
      if (child) pending.push_back(child);
    }
  }
  return nullptr;
}

}  // namespace

AccessibilityReach reachAccessibility() {
  if (bus.tried) return bus.reach;
  if (!variableSet("DBUS_SESSION_BUS_ADDRESS") && !variableSet("AT_SPI_BUS_ADDRESS")) {
    return AccessibilityReach::noBus;   // not remembered: a bus may come later
  }
  bus.tried = true;
  auto result = std::make_shared<int>(-1);
  if (!runWithin(kConnectLimitMs, [result] {
        atspi_set_timeout(kCallLimitMs, kConnectLimitMs);
        *result = atspi_init();
      })) {
    bus.reach = AccessibilityReach::noAnswer;
    return bus.reach;
  }
  bool connected = *result == 0 || *result == 1;
  bus.reach = connected ? AccessibilityReach::ready : AccessibilityReach::noBus;
  return bus.reach;
}

bool startAccessibilityEvents() {
  if (reachAccessibility() != AccessibilityReach::ready) return false;
  stopAccessibilityEvents();
  bus.listener = atspi_event_listener_new(takeEvent, nullptr, nullptr);
  bool registered = true;
  for (const char* type : kEventTypes) {
    GError* error = nullptr;
    if (!atspi_event_listener_register(bus.listener, type, &error)) registered = false;
    if (error) g_error_free(error);
  }
  if (!registered) stopAccessibilityEvents();
  return registered;
}

void stopAccessibilityEvents() {
  if (bus.listener) {
    for (const char* type : kEventTypes) atspi_event_listener_deregister(bus.listener, type, nullptr);
    g_object_unref(bus.listener);
    bus.listener = nullptr;
    dispatchPending();
  }
  forgetLastEvent();
}

bool newAccessibilityEvent() {
  if (!bus.listener) return false;
  dispatchPending();
  bool fresh = bus.fresh;
  bus.fresh = false;
  return fresh;
}

std::optional<std::string> lastEventFact(AccessibleFact fact) {
  if (bus.listener) dispatchPending();
  if (!bus.lastSource) return std::nullopt;
  atspi_accessible_clear_cache(bus.lastSource);
  return factOf(bus.lastSource, fact);
}

std::optional<std::string> focusedControlText() {
  if (reachAccessibility() != AccessibilityReach::ready) return std::nullopt;
  OwnedObjects owned;
  AtspiAccessible* focused = findFocused(owned);
  if (!focused) return std::nullopt;
  std::optional<std::string> text = textContents(focused);
  if (text && text->empty()) text = factOf(focused, AccessibleFact::name);
  return text;
}

}  // namespace varlo
