#include "views/project_tree.h"

#include <QHeaderView>

CProjectTree::CProjectTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setColumnCount(1);
}

void CProjectTree::RefreshTree() {
  if (m_refresher) m_refresher(*this);
}

void CProjectTree::EndStartup() {
  m_bStartup = false;
  if (m_startupEnded) m_startupEnded();
}
