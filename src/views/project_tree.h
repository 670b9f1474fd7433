#pragma once
// The projects tree on the left of the main form (control 1000): the projects directory's
// folders and compaction files.
//
// A folder is listed only when it is first shown open (the top level at once, the folders of
// the record on screen, a folder the user opens), so that start-up and Save cost the same with
// ten tests or a million, on a local disk or a network share. A folder that is not listed yet
// shows an expand button. The folders shown open, and only they, are watched: a test saved,
// renamed or deleted by another technician appears or vanishes without a rebuild, and the
// selection and the open branch stay; a folder that closes gives its watch back, so that the
// watches a user's system allows are never spent on tests nobody looks at. The system's
// watches report only this computer's changes; the program's look on a timer (the stamps of
// OpenFolderPaths, applied with ApplyLook) sees those made on a shared folder from elsewhere. A
// link to a folder is shown as a folder; one that leads back to a folder above it is shown but
// never entered.
#include <QFileSystemWatcher>
#include <QIcon>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "file/disk_changes.h"
#include "file/document_commands.h"

struct ProjectNode;

class CProjectTree : public QTreeWidget {
  Q_OBJECT
 public:
  explicit CProjectTree(QWidget* parent = nullptr);

  // Rebuilds the tree; runs the refresher installed with SetRefresher. Without one the
  // tree stays empty.
  void RefreshTree();
  void SetRefresher(std::function<void(CProjectTree&)> refresher) {
    m_refresher = std::move(refresher);
  }

  // The end of the program's start: runs the hook installed with SetStartupEnded.
  void EndStartup();
  void SetStartupEnded(std::function<void()> hook) { m_startupEnded = std::move(hook); }
  bool InStartup() const { return m_bStartup; }

  // What the tree says in its place while it holds no item (none until set).
  void SetEmptyNote(const QString& note);
  // The note as shown now: empty while the tree holds items.
  QString ShownNote() const { return topLevelItemCount() == 0 ? m_emptyNote : QString(); }

  // The picture of a compaction file (the style's file picture until set).
  void SetFileIcon(const QIcon& file) { m_fileIcon = file; }
  // The folder the tree shows. A new folder empties the tree.
  void SetProjectsDir(const std::string& dir);
  // Lists the top level again and closes every folder; each is listed anew when it is next
  // opened. The items of entries still there stay, and with them the selection.
  void Rebuild();
  // Opens the folders with these texts from the top level down, as far as they exist,
  // listing each as it opens; then brings into view, without selecting it, the item of the
  // file named `fileName` in the last folder opened, or that folder when it holds no such
  // file, so that a record deep in a long tree is seen at once. The view moves once the
  // tree is laid out (after the window is first shown).
  void OpenFolders(const std::vector<std::string>& texts, const std::string& fileName = {});
  // Lists the folder of `item` (nullptr: the top level) into its children, keeping the
  // items of the entries that are still there.
  void ListInto(QTreeWidgetItem* item);
  // What an item stands for, for the commands. A folder not listed yet is listed first, so
  // that whether it holds anything is known.
  TreeItem ItemOf(QTreeWidgetItem* item);
  // The path of the entry an item stands for.
  std::string PathOf(const QTreeWidgetItem* item) const;
  // True while the tree changes its own items: a selection that moves then is not the user's.
  bool IsUpdating() const { return m_nUpdating > 0; }
  // The folders read since the tree was made.
  int FoldersListed() const { return m_nListed; }
  // What the system watches for this computer's changes: the projects directory and the
  // folders shown open.
  QStringList WatchedPaths() const { return m_watcher.directories() + m_watcher.files(); }
  // The folders shown open, the projects directory among them: what the timer's look stats.
  std::vector<std::string> OpenFolderPaths() const;
  // Lists again each open folder whose stamp, as the look found it, changed since the
  // folder was last listed.
  void ApplyLook(const std::vector<PathState>& found);
  // A whole look at the open folders at once: stats them and lists the changed ones again.
  void CheckOpenFolders();

 protected:
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnExpanded(QTreeWidgetItem* item);
  void OnCollapsed(QTreeWidgetItem* item);
  void OnFolderChanged(const QString& path);
  void ListChanged();
  void Merge(QTreeWidgetItem* parent, std::vector<ProjectNode> nodes);
  QTreeWidgetItem* MakeItem(const ProjectNode& node) const;
  void Discard(QTreeWidgetItem* item);
  // The watches: the projects directory (nullptr) and each folder shown open, no other. A
  // folder is looked at by the timer even when the system refuses it a watch.
  void Watch(QTreeWidgetItem* item);
  // Gives back the watches of `item` and of every folder below it.
  void Unwatch(QTreeWidgetItem* item);
  // Watches no folder any more.
  void StopWatching();
  bool LeadsBackUp(const QTreeWidgetItem* item) const;
  void CloseOpenSiblings(QTreeWidgetItem* opened);
  void FitColumn();

  std::function<void(CProjectTree&)> m_refresher;
  std::function<void()> m_startupEnded;
  bool m_bStartup = true;
  std::string m_root;
  QString m_emptyNote;
  QIcon m_folderIcon;
  QIcon m_fileIcon;
  QFileSystemWatcher m_watcher;
  std::map<std::string, QTreeWidgetItem*> m_open;  // open folder's path → its item (null: the top)
  std::set<std::string> m_changed;                 // folders changed since the last relisting
  CFolderStamps m_stamps;
  QTimer m_changeTimer;
  QTimer m_widthTimer;
  int m_nUpdating = 0;
  int m_nListed = 0;
};
