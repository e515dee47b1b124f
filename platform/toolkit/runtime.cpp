#include "platform/toolkit/runtime.h"

namespace plat {

namespace {
// Trivially destructible, so widgets dying at exit can still ask for it.
Runtime* g_current = nullptr;
}  // namespace

Runtime::Runtime() : m_previous(g_current) {
  g_current = this;
  m_services.emplace();
}

Runtime::~Runtime() {
  // Still current while the services die: an image dropped by the cache asks the registry.
  Runtime* const current = g_current;
  g_current = this;
  m_services.reset();
  if (current == this) {
    g_current = m_previous;
    return;
  }
  g_current = current;
  // Not the newest one: take it out of the chain of the newer runtimes.
  for (Runtime* r = g_current; r != nullptr; r = r->m_previous) {
    if (r->m_previous == this) {
      r->m_previous = m_previous;
      break;
    }
  }
}

Runtime* Runtime::Current() { return g_current; }

}  // namespace plat
