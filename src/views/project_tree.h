#pragma once
// The projects tree on the left of the main form (control 1000): the projects directory's
// folders and compaction files. Filling it and answering its selection belong to the tree's
// own code; the form calls RefreshTree whenever the tree must be rebuilt and EndStartup once
// its first initial update is done.
#include <QTreeWidget>
#include <functional>

class CProjectTree : public QTreeWidget {
  Q_OBJECT
 public:
  explicit CProjectTree(QWidget* parent = nullptr);

  // Rebuilds the tree; runs the refresher installed with SetRefresher. Without one the
  // tree stays empty.
  void RefreshTree();
  void SetRefresher(std::function<void(CProjectTree&)> refresher) { m_refresher = std::move(refresher); }

  // The end of the program's start: runs the hook installed with SetStartupEnded.
  void EndStartup();
  void SetStartupEnded(std::function<void()> hook) { m_startupEnded = std::move(hook); }
  bool InStartup() const { return m_bStartup; }

 private:
  std::function<void(CProjectTree&)> m_refresher;
  std::function<void()> m_startupEnded;
  bool m_bStartup = true;
};
