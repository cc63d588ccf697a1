// Shows the wait cursor for as long as an object of this class lives.
#pragma once

class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

  // Puts the previous cursor back now rather than at the end of the object's life.
  void Restore();

 private:
  bool m_bShown = false;
};
