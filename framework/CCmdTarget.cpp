#include "framework/CCmdTarget.h"

#include <utility>

bool CCmdTarget::OnCmdMsg(int id) {
  const auto found = m_commands.find(id);
  if (found == m_commands.end()) {
    return false;
  }
  // A copy runs, so a handler may destroy this target (closing a document does).
  const std::function<void(int)> handler = found->second;
  handler(id);
  return true;
}

bool CCmdTarget::OnUpdateCmdMsg(CCmdUI* cmdUI) {
  const auto found = m_updates.find(cmdUI->m_nID);
  if (found == m_updates.end()) {
    return false;
  }
  const std::function<void(CCmdUI*)> handler = found->second;
  handler(cmdUI);
  return true;
}

bool CCmdTarget::HasCommandHandler(int id) const {
  return m_commands.count(id) != 0;
}

void CCmdTarget::OnCommand(int id, std::function<void()> handler) {
  m_commands[id] = [handler = std::move(handler)](int) { handler(); };
}

void CCmdTarget::OnCommandRange(int first, int last, const std::function<void(int)>& handler) {
  for (int id = first; id <= last; ++id) {
    m_commands[id] = handler;
  }
}

void CCmdTarget::OnUpdateCommandUI(int id, std::function<void(CCmdUI*)> handler) {
  m_updates[id] = std::move(handler);
}

void CCmdTarget::OnUpdateCommandUIRange(int first, int last,
                                        const std::function<void(CCmdUI*)>& handler) {
  for (int id = first; id <= last; ++id) {
    m_updates[id] = handler;
  }
}

bool RouteCommand(const std::vector<CCmdTarget*>& chain, int id) {
  for (CCmdTarget* target : chain) {
    if (target != nullptr && target->OnCmdMsg(id)) {
      return true;
    }
  }
  return false;
}

bool RouteCommandUI(const std::vector<CCmdTarget*>& chain, CCmdUI* cmdUI) {
  for (CCmdTarget* target : chain) {
    if (target != nullptr && target->OnUpdateCmdMsg(cmdUI)) {
      return true;
    }
  }
  for (CCmdTarget* target : chain) {
    if (target != nullptr && target->HasCommandHandler(cmdUI->m_nID)) {
      cmdUI->Enable(true);
      return true;
    }
  }
  cmdUI->Enable(false);
  return false;
}
