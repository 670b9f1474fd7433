#include "views/project_tree.h"

#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QSet>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

#include "file/project_tree.h"
#include "framework/file_io.h"

namespace {

// What each item keeps: whether it is a folder, its entry's name as the file system has it
// (which the shown text, UTF-8 and a file's without its extension, is not), and whether its
// folder has been listed since it was last opened.
enum Role { kIsFolder = Qt::UserRole + 1, kEntryName, kListed };

QByteArray NameOf(const QTreeWidgetItem* item) { return item->data(0, kEntryName).toByteArray(); }
bool IsFolder(const QTreeWidgetItem* item) { return item->data(0, kIsFolder).toBool(); }
bool IsListed(const QTreeWidgetItem* item) { return item->data(0, kListed).toBool(); }

QByteArray Key(bool isFolder, const QByteArray& name) { return (isFolder ? "d/" : "f/") + name; }
QByteArray Key(const QTreeWidgetItem* item) { return Key(IsFolder(item), NameOf(item)); }
QByteArray Bytes(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// A folder's path as the watcher takes it; empty for a name Qt cannot carry unchanged.
QString WatchPath(const std::string& path) {
  const QByteArray bytes = Bytes(path);
  const QString q = QFile::decodeName(bytes);
  return QFile::encodeName(q) == bytes ? q : QString();
}

// Every item below `item`, depth first, `item` itself first.
template <class F>
void ForEachItem(QTreeWidgetItem* item, const F& f) {
  f(item);
  for (int i = 0; i < item->childCount(); ++i) ForEachItem(item->child(i), f);
}

}  // namespace

CProjectTree::CProjectTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setColumnCount(1);
  // Names are shown whole; a long one brings up the horizontal scroll bar. The column takes
  // the width of the widest shown item, measured by the tree itself: asking the style for
  // every row's size on each change costs more than listing the folders.
  setTextElideMode(Qt::ElideNone);
  setUniformRowHeights(true);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::Fixed);
  m_widthTimer.setSingleShot(true);
  m_widthTimer.setInterval(0);
  connect(&m_widthTimer, &QTimer::timeout, this, [this] { FitColumn(); });
  // A folder shows closed, and open while it is the selected item.
  const QSize size(16, 16);
  m_folderIcon.addPixmap(style()->standardIcon(QStyle::SP_DirClosedIcon).pixmap(size),
                         QIcon::Normal);
  m_folderIcon.addPixmap(style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(size),
                         QIcon::Selected);
  m_fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* i) { OnExpanded(i); });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* i) { OnCollapsed(i); });
  // Another program's changes come in bursts (a copy of a whole folder): the folders are
  // listed again once the burst is over.
  m_changeTimer.setSingleShot(true);
  m_changeTimer.setInterval(150);
  connect(&m_changeTimer, &QTimer::timeout, this, [this] { ListChanged(); });
  connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
          [this](const QString& path) { OnFolderChanged(path); });
}

void CProjectTree::RefreshTree() {
  if (m_refresher) m_refresher(*this);
}

void CProjectTree::EndStartup() {
  m_bStartup = false;
  if (m_startupEnded) m_startupEnded();
}

void CProjectTree::StopWatching() {
  if (!m_watcher.directories().isEmpty()) m_watcher.removePaths(m_watcher.directories());
  m_open.clear();
  m_stamps.Clear();
}

void CProjectTree::SetProjectsDir(const std::string& dir) {
  if (dir == m_root) return;
  const QSignalBlocker block(this);
  ++m_nUpdating;
  m_root = dir;
  StopWatching();
  clear();
  --m_nUpdating;
}

void CProjectTree::Rebuild() {
  const QSignalBlocker block(this);
  ++m_nUpdating;
  StopWatching();
  // Every folder closes and is listed anew when it is next opened.
  for (int i = 0; i < topLevelItemCount(); ++i) {
    ForEachItem(topLevelItem(i), [](QTreeWidgetItem* item) {
      if (!IsFolder(item)) return;
      item->setExpanded(false);
      item->setData(0, kListed, false);
      item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    });
  }
  ListInto(nullptr);
  --m_nUpdating;
}

void CProjectTree::OpenFolders(const std::vector<std::string>& texts, const std::string& fileName) {
  QTreeWidgetItem* at = invisibleRootItem();
  for (const std::string& text : texts) {
    const QString wanted = QString::fromStdString(text);
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < at->childCount() && !next; ++i) {
      QTreeWidgetItem* c = at->child(i);
      if (IsFolder(c) && c->text(0) == wanted) next = c;
    }
    if (!next) break;
    if (!IsListed(next)) ListInto(next);
    next->setExpanded(true);
    at = next;
  }
  if (at == invisibleRootItem()) return;
  QTreeWidgetItem* shown = at;
  for (int i = 0; i < at->childCount(); ++i) {
    QTreeWidgetItem* c = at->child(i);
    if (!IsFolder(c) && NameOf(c) == Bytes(fileName)) shown = c;
  }
  // A tree not yet laid out has no scroll range: the scroll waits for the event loop, which
  // runs once the window is shown.
  const QPersistentModelIndex index(indexFromItem(shown));
  QTimer::singleShot(0, this, [this, index] {
    if (index.isValid()) scrollTo(index, QAbstractItemView::PositionAtCenter);
  });
}

void CProjectTree::ListInto(QTreeWidgetItem* item) {
  const QSignalBlocker block(this);
  ++m_nUpdating;
  std::vector<ProjectNode> nodes;
  const std::string path = PathOf(item);
  m_stamps.Take(path);
  if (!item || !LeadsBackUp(item)) {
    nodes = ListFolder(path);
    ++m_nListed;
  }
  Merge(item ? item : invisibleRootItem(), std::move(nodes));
  if (item) {
    item->setData(0, kListed, true);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
  }
  if (!item || item->isExpanded()) Watch(item);
  m_widthTimer.start();
  --m_nUpdating;
}

// Brings the children of `parent` to `nodes`, in their order: the items of entries still
// there stay (with what is open and selected below them), the others go, new ones come in.
void CProjectTree::Merge(QTreeWidgetItem* parent, std::vector<ProjectNode> nodes) {
  QSet<QByteArray> present;
  for (const ProjectNode& n : nodes) present.insert(Key(n.isFolder, Bytes(n.name)));
  QHash<QByteArray, QTreeWidgetItem*> kept;
  for (int i = parent->childCount() - 1; i >= 0; --i) {
    QTreeWidgetItem* c = parent->child(i);
    if (present.contains(Key(c))) {
      kept.insert(Key(c), c);
    } else {
      Discard(c);
    }
  }
  // New items go in by runs: one insertion for a whole new folder's listing.
  QList<QTreeWidgetItem*> run;
  int runStart = 0;
  auto flush = [&] {
    if (!run.isEmpty()) parent->insertChildren(runStart, std::exchange(run, {}));
  };
  for (int k = 0; k < static_cast<int>(nodes.size()); ++k) {
    const ProjectNode& n = nodes[static_cast<std::size_t>(k)];
    QTreeWidgetItem* item = kept.value(Key(n.isFolder, Bytes(n.name)));
    if (!item) {
      if (run.isEmpty()) runStart = k;
      run.push_back(MakeItem(n));
      continue;
    }
    flush();
    if (parent->child(k) != item) {
      parent->takeChild(parent->indexOfChild(item));
      parent->insertChild(k, item);
    }
  }
  flush();
}

QTreeWidgetItem* CProjectTree::MakeItem(const ProjectNode& n) const {
  auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(n.text)));
  item->setData(0, kIsFolder, n.isFolder);
  item->setData(0, kEntryName, Bytes(n.name));
  item->setData(0, kListed, false);
  if (n.isFolder) {
    item->setIcon(0, m_folderIcon);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  } else {
    // A test never opens: no key or click lists or watches it as a folder.
    item->setFlags(item->flags() | Qt::ItemNeverHasChildren);
    item->setIcon(0, m_fileIcon);
  }
  return item;
}

// Removes an item whose entry is gone. A selection inside it goes too, rather than moving
// to a neighbour the user never chose.
void CProjectTree::Discard(QTreeWidgetItem* item) {
  Unwatch(item);
  bool holdsCurrent = false;
  ForEachItem(item, [&](QTreeWidgetItem* i) { holdsCurrent = holdsCurrent || i == currentItem(); });
  if (holdsCurrent) {
    clearSelection();
    setCurrentItem(nullptr);
  }
  delete item;
}

void CProjectTree::Watch(QTreeWidgetItem* item) {
  if (item && !IsFolder(item)) return;
  const std::string path = PathOf(item);
  if (!m_open.emplace(path, item).second) return;
  // A folder the system cannot watch (out of watches, a name Qt cannot carry) is still
  // looked at by the timer.
  const QString watched = WatchPath(path);
  if (!watched.isEmpty()) m_watcher.addPath(watched);
}

void CProjectTree::Unwatch(QTreeWidgetItem* item) {
  ForEachItem(item, [this](QTreeWidgetItem* i) {
    if (!IsFolder(i)) return;
    const std::string path = PathOf(i);
    m_stamps.Drop(path);
    const auto at = m_open.find(path);
    if (at == m_open.end() || at->second != i) return;
    if (const QString watched = WatchPath(path); m_watcher.directories().contains(watched))
      m_watcher.removePath(watched);
    m_open.erase(at);
  });
}

std::vector<std::string> CProjectTree::OpenFolderPaths() const {
  std::vector<std::string> open;
  open.reserve(m_open.size());
  for (const auto& entry : m_open) open.push_back(entry.first);
  return open;
}

void CProjectTree::ApplyLook(const std::vector<PathState>& found) {
  for (const std::string& path : m_stamps.Changed(found)) {
    // Listing a folder may take away folders below it, and one may have closed since the
    // look was planned.
    const auto at = m_open.find(path);
    if (at != m_open.end()) ListInto(at->second);
  }
}

void CProjectTree::CheckOpenFolders() {
  DiskLook look;
  for (std::string& path : OpenFolderPaths()) look.folders.push_back({std::move(path), {}});
  look.Read();
  ApplyLook(look.folders);
}

void CProjectTree::OnExpanded(QTreeWidgetItem* opened) {
  if (!IsListed(opened)) ListInto(opened);
  CloseOpenSiblings(opened);
  Watch(opened);
  m_widthTimer.start();
}

// A closed folder closes the folders open inside it too: none of them is watched any more,
// and each is listed anew when it opens again.
void CProjectTree::OnCollapsed(QTreeWidgetItem* closed) {
  {
    const QSignalBlocker block(this);
    ForEachItem(closed, [](QTreeWidgetItem* item) {
      if (!IsFolder(item)) return;
      item->setExpanded(false);
      item->setData(0, kListed, false);
    });
  }
  Unwatch(closed);
  m_widthTimer.start();
}

void CProjectTree::OnFolderChanged(const QString& path) {
  m_changed.insert(QFile::encodeName(path).toStdString());
  m_changeTimer.start();
}

void CProjectTree::ListChanged() {
  const std::set<std::string> changed = std::exchange(m_changed, {});
  for (const std::string& path : changed) {
    const auto at = m_open.find(path);
    if (at != m_open.end()) ListInto(at->second);
  }
}

// One branch open at a time: opening a folder closes its open siblings, so a long list of
// projects never turns into a wall of open folders.
void CProjectTree::CloseOpenSiblings(QTreeWidgetItem* opened) {
  QTreeWidgetItem* parent = opened->parent() ? opened->parent() : invisibleRootItem();
  for (int i = 0; i < parent->childCount(); ++i) {
    QTreeWidgetItem* sibling = parent->child(i);
    if (sibling != opened && sibling->isExpanded()) sibling->setExpanded(false);
  }
}

void CProjectTree::SetEmptyNote(const QString& note) {
  if (note == m_emptyNote) return;
  m_emptyNote = note;
  viewport()->update();
}

// An empty tree says why, in the place of its items, rather than standing white.
void CProjectTree::paintEvent(QPaintEvent* event) {
  QTreeWidget::paintEvent(event);
  const QString note = ShownNote();
  if (note.isEmpty()) return;
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::PlaceholderText));
  // A long path breaks anywhere rather than running out of the narrow tree.
  QTextOption wrap;
  wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  const int margin = fontMetrics().averageCharWidth();
  painter.drawText(QRectF(viewport()->rect().adjusted(margin, margin, -margin, -margin)), note,
                   wrap);
}

// One branch is open at a time, so the expand-all key opens the current folder as Right and
// + do: opening every folder below it would read them all only to close all but the last.
void CProjectTree::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Asterisk) {
    QTreeWidgetItem* item = currentItem();
    if (item && IsFolder(item)) item->setExpanded(true);
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

// The column as wide as the widest item shown (in an open branch), and never narrower than
// the tree, so that a long name brings up the horizontal scroll bar.
void CProjectTree::FitColumn() {
  // The shown items with their depth; only folders can be open.
  std::vector<std::pair<const QTreeWidgetItem*, int>> shown;
  std::vector<std::pair<const QTreeWidgetItem*, int>> stack;
  for (int i = 0; i < topLevelItemCount(); ++i) stack.emplace_back(topLevelItem(i), 1);
  while (!stack.empty()) {
    const auto [item, depth] = stack.back();
    stack.pop_back();
    shown.emplace_back(item, depth);
    if (!IsFolder(item) || !item->isExpanded()) continue;
    for (int i = 0; i < item->childCount(); ++i) stack.emplace_back(item->child(i), depth + 1);
  }
  // Measuring text is the costly part: the widest item is among the longest names.
  constexpr std::size_t kMeasured = 64;
  auto reach = [](const std::pair<const QTreeWidgetItem*, int>& s) {
    return s.first->text(0).size() + 3 * s.second;
  };
  if (shown.size() > kMeasured) {
    std::nth_element(shown.begin(), shown.begin() + kMeasured, shown.end(),
                     [&](const auto& a, const auto& b) { return reach(a) > reach(b); });
    shown.resize(kMeasured);
  }
  const QFontMetrics fm(font());
  const int icon = iconSize().width() > 0 ? iconSize().width() : 16;
  int widest = 0;
  for (const auto& [item, depth] : shown) {
    widest = std::max(widest, depth * indentation() + icon + fm.horizontalAdvance(item->text(0)));
  }
  constexpr int kMargins = 12;  // the item's own padding and the focus frame
  header()->resizeSection(0, std::max(widest + kMargins, viewport()->width()));
}

void CProjectTree::resizeEvent(QResizeEvent* event) {
  QTreeWidget::resizeEvent(event);
  m_widthTimer.start();
}

// A link back to a folder above it (or to the projects directory) would list for ever.
bool CProjectTree::LeadsBackUp(const QTreeWidgetItem* item) const {
  const std::optional<framework::FileIdentity> self = framework::IdentityOf(PathOf(item));
  if (!self) return false;
  for (const QTreeWidgetItem* up = item->parent(); up; up = up->parent()) {
    if (framework::IdentityOf(PathOf(up)) == self) return true;
  }
  return framework::IdentityOf(m_root) == self;
}

TreeItem CProjectTree::ItemOf(QTreeWidgetItem* item) {
  if (IsFolder(item) && !IsListed(item)) ListInto(item);
  TreeItem out;
  for (const QTreeWidgetItem* i = item; i; i = i->parent()) {
    const QByteArray name = NameOf(i);
    out.names.emplace_back(name.constData(), static_cast<std::size_t>(name.size()));
  }
  std::reverse(out.names.begin(), out.names.end());
  out.isFolder = IsFolder(item);
  out.hasChildren = item->childCount() > 0;
  return out;
}

std::string CProjectTree::PathOf(const QTreeWidgetItem* item) const {
  std::vector<const QTreeWidgetItem*> chain;
  for (const QTreeWidgetItem* i = item; i && i != invisibleRootItem(); i = i->parent())
    chain.push_back(i);
  std::string path = m_root;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const QByteArray name = NameOf(*it);
    path += "/";
    path.append(name.constData(), static_cast<std::size_t>(name.size()));
  }
  return path;
}

// Dotted lines join each item to its parent and to its siblings below, as a file tree is
// drawn; the style draws the expand buttons over them.
void CProjectTree::drawBranches(QPainter* painter, const QRect& rect,
                                const QModelIndex& index) const {
  painter->save();
  QPen pen(palette().color(QPalette::Mid));
  pen.setStyle(Qt::DotLine);
  painter->setPen(pen);
  const int step = indentation();
  int column = rect.right() + 1 - step;  // the item's own column
  const int midY = rect.center().y();
  const bool more = index.sibling(index.row() + 1, 0).isValid();
  painter->drawLine(column + step / 2, rect.top(), column + step / 2, more ? rect.bottom() : midY);
  painter->drawLine(column + step / 2, midY, column + step - 2, midY);
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) {
    column -= step;
    if (up.sibling(up.row() + 1, 0).isValid()) {
      painter->drawLine(column + step / 2, rect.top(), column + step / 2, rect.bottom());
    }
  }
  painter->restore();
  QTreeWidget::drawBranches(painter, rect, index);
}
