#include "views/project_tree.h"

#include <QHeaderView>

CProjectTree::CProjectTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setColumnCount(1);
  // Names are shown whole; a long one brings up the horizontal scroll bar.
  setTextElideMode(Qt::ElideNone);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  // One branch open at a time: opening a folder closes its open siblings, so a long list of
  // projects never turns into a wall of open folders.
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* opened) {
    QTreeWidgetItem* parent = opened->parent();
    const int count = parent ? parent->childCount() : topLevelItemCount();
    for (int i = 0; i < count; ++i) {
      QTreeWidgetItem* sibling = parent ? parent->child(i) : topLevelItem(i);
      if (sibling != opened && sibling->isExpanded()) sibling->setExpanded(false);
    }
  });
}

void CProjectTree::RefreshTree() {
  if (m_refresher) m_refresher(*this);
}

void CProjectTree::EndStartup() {
  m_bStartup = false;
  if (m_startupEnded) m_startupEnded();
}
