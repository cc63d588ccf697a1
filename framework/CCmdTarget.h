// Commands by numeric id: targets that handle them, state-update handlers that enable, check or
// relabel them, and the routing of a command along a chain of targets.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <vector>

class QAction;

// What a state-update handler may set about one command: whether it is enabled, checked, and
// its text. The action shown for the command, when there is one, is at hand for anything else.
class CCmdUI {
 public:
  explicit CCmdUI(int id, QAction* action = nullptr) : m_nID(id), m_pAction(action) {}

  void Enable(bool enabled = true) { m_bEnabled = enabled; }
  void SetCheck(int check = 1) { m_nCheck = check; }
  void SetText(const QString& text) {
    m_strText = text;
    m_bHasText = true;
  }

  bool IsEnabled() const { return m_bEnabled; }
  int GetCheck() const { return m_nCheck; }
  bool HasText() const { return m_bHasText; }
  const QString& GetText() const { return m_strText; }

  int m_nID;
  QAction* m_pAction;

 private:
  bool m_bEnabled = true;
  int m_nCheck = 0;
  bool m_bHasText = false;
  QString m_strText;
};

class CCmdTarget {
 public:
  CCmdTarget() = default;
  virtual ~CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // Runs this target's handler of the command; true when it has one.
  virtual bool OnCmdMsg(int id);
  // Runs this target's state-update handler of the command; true when it has one.
  virtual bool OnUpdateCmdMsg(CCmdUI* cmdUI);
  // True when this target has a handler of the command.
  virtual bool HasCommandHandler(int id) const;

 protected:
  // Registers the handler of a command, replacing any earlier one.
  void OnCommand(int id, std::function<void()> handler);
  // Registers one handler for the commands first to last; it receives the command id.
  void OnCommandRange(int first, int last, const std::function<void(int)>& handler);
  // Registers the state-update handler of a command (or of a range of commands).
  void OnUpdateCommandUI(int id, std::function<void(CCmdUI*)> handler);
  void OnUpdateCommandUIRange(int first, int last, const std::function<void(CCmdUI*)>& handler);

 private:
  std::map<int, std::function<void(int)>> m_commands;
  std::map<int, std::function<void(CCmdUI*)>> m_updates;
};

// Offers the command to each target of the chain in order (nulls are skipped) until one handles
// it; false when none does.
bool RouteCommand(const std::vector<CCmdTarget*>& chain, int id);

// Runs the first state-update handler of the command along the chain. When no target has one,
// the command is enabled if some target handles it and disabled otherwise. Returns true when some
// target handles or updates the command.
bool RouteCommandUI(const std::vector<CCmdTarget*>& chain, CCmdUI* cmdUI);
