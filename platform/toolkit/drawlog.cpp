#include "platform/toolkit/drawlog.h"

#include <utility>

namespace plat {
namespace {
std::vector<DrawRecord>* g_log = nullptr;
}

void SetDrawLog(std::vector<DrawRecord>* log) { g_log = log; }

std::vector<DrawRecord>* GetDrawLog() { return g_log; }

void RecordDraw(DrawRecord record) {
  if (g_log) g_log->push_back(std::move(record));
}

ScopedDrawLog::ScopedDrawLog(std::vector<DrawRecord>* log) : m_previous(g_log) { g_log = log; }

ScopedDrawLog::~ScopedDrawLog() { g_log = m_previous; }

}  // namespace plat
