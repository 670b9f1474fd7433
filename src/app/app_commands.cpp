#include "app/app_commands.h"

#include <QApplication>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStyle>
#include <QTreeWidgetItem>

#include "app/densora_app.h"
#include "app/main_frame.h"
#include "app/projects_dir_dlg.h"
#include "app/resource.h"
#include "app/settings.h"
#include "file/project_tree.h"
#include "framework/qt/qt_surface.h"
#include "model/densora_doc.h"
#include "print/report.h"
#include "views/densora_view.h"
#include "views/project_tree.h"

namespace {

// Each item keeps what it stands for: whether it is a folder, and its entry's name as the
// file system has it, which its shown text (UTF-8, a file's without its extension) is not.
enum ItemRole { kIsFolder = Qt::UserRole + 1, kEntryName };

void AddNodes(QTreeWidgetItem* parent, QList<QTreeWidgetItem*>& top,
              const std::vector<ProjectNode>& nodes, const QIcon& folder, const QIcon& file) {
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(nodes.size()));
  for (const ProjectNode& n : nodes) {
    auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(n.text)));
    item->setIcon(0, n.isFolder ? folder : file);
    item->setData(0, kIsFolder, n.isFolder);
    item->setData(0, kEntryName, QByteArray(n.name.data(), static_cast<qsizetype>(n.name.size())));
    if (!n.children.empty()) AddNodes(item, top, n.children, folder, file);
    items.push_back(item);
  }
  // The listing is sorted already: the items go in at once, in that order.
  if (parent) {
    parent->addChildren(items);
  } else {
    top = items;
  }
}

}  // namespace

CAppCommands::CAppCommands(CDensoraApp& app) : m_app(app) {
  m_pCommands = std::make_unique<CDocumentCommands>(app.Document(), app.View()->Curve(),
                                                    app.m_strProjectsDir, *this);
}

CAppCommands::~CAppCommands() = default;

void CAppCommands::Connect() {
  CMainFrame* frame = m_app.MainFrame();
  CDocumentCommands& c = *m_pCommands;
  frame->SetCommandHandler(ID_FILE_NEW, [&c] { c.OnFileNew(); });
  frame->SetCommandHandler(ID_FILE_OPEN, [&c] { c.OnFileOpen(); });
  frame->SetCommandHandler(ID_FILE_SAVE, [&c] { c.OnFileSave(); });
  frame->SetCommandHandler(ID_FILE_DELETE, [this] {
    const CProjectTree& tree = m_app.View()->Tree();
    const QTreeWidgetItem* item = tree.currentItem();
    if (!item || !item->isSelected()) return;  // nothing selected: nothing to delete
    m_pCommands->OnFileDelete(ItemOf(item));
  });
  frame->SetCommandHandler(ID_FILE_CHANGE_PROJECTS_DIR, [&c] { c.OnChangeProjectsDir(); });
  frame->SetCommandHandler(ID_FILE_PRINT, [this] { OnFilePrint(true); });
  frame->SetCommandHandler(ID_FILE_PRINT_DIRECT, [this] { OnFilePrint(false); });
  frame->SetCommandHandler(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
  frame->SetCommandHandler(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
  frame->SetCloseHandler([&c] { return c.OnClose(); });
  frame->SetRecentFileHandler([&c](const std::string& path) { c.OnOpenRecentFile(path); });

  CProjectTree& tree = m_app.View()->Tree();
  tree.SetRefresher([this](CProjectTree& t) { FillTree(t); });
  QObject::connect(&tree, &QTreeWidget::itemSelectionChanged, &tree,
                   [this] { OnTreeSelectionChanged(); });
}

std::optional<std::string> CAppCommands::AskOpenFileName(const std::string& initialFolder) {
  if (m_openDialogOverride) return m_openDialogOverride(initialFolder);
  const QString chosen = QFileDialog::getOpenFileName(
      m_app.MainFrame(), QStringLiteral("Open"), QString::fromStdString(initialFolder),
      QStringLiteral("Compaction Files (*.lng)"));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<std::string> CAppCommands::AskSaveFileName(const std::string& proposedPath) {
  if (m_saveDialogOverride) return m_saveDialogOverride(proposedPath);
  const QString chosen = QFileDialog::getSaveFileName(
      m_app.MainFrame(), QStringLiteral("Save As"), QString::fromStdString(proposedPath),
      QStringLiteral("Compaction Files (*.lng)"));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<std::string> CAppCommands::AskProjectsDirectory() {
  if (m_dirDialogOverride) return m_dirDialogOverride();
  CProjectsDirDlg dlg(m_app.MainFrame());
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return dlg.m_strDirectory;
}

void CAppCommands::StoreProjectsDirectory(const std::string& folder) {
  settings::WriteProjectsDir(folder);
}

void CAppCommands::DocumentOpened(const std::string& path) { m_app.DocumentOpened(path); }

void CAppCommands::DocumentOpenFailed(const std::string& path) { m_app.RemoveRecentFile(path); }

void CAppCommands::RefreshTree() { m_app.View()->Tree().RefreshTree(); }

TreeItem CAppCommands::ItemOf(const QTreeWidgetItem* item) {
  TreeItem out;
  for (const QTreeWidgetItem* i = item; i; i = i->parent()) {
    const QByteArray name = i->data(0, kEntryName).toByteArray();
    out.names.emplace_back(name.constData(), static_cast<std::size_t>(name.size()));
  }
  std::reverse(out.names.begin(), out.names.end());
  out.isFolder = item->data(0, kIsFolder).toBool();
  out.hasChildren = item->childCount() > 0;
  return out;
}

void CAppCommands::FillTree(CProjectTree& tree) {
  m_bFilling = true;
  const QSignalBlocker block(&tree);
  tree.setUpdatesEnabled(false);
  tree.clear();
  const std::vector<ProjectNode> nodes = ScanProjectsDir(m_app.m_strProjectsDir);
  // A folder shows closed, and open while it is the selected item.
  QIcon folder;
  const QSize size(16, 16);
  folder.addPixmap(tree.style()->standardIcon(QStyle::SP_DirClosedIcon).pixmap(size), QIcon::Normal);
  folder.addPixmap(tree.style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(size), QIcon::Selected);
  const QIcon file = tree.style()->standardIcon(QStyle::SP_FileIcon);
  QList<QTreeWidgetItem*> top;
  AddNodes(nullptr, top, nodes, folder, file);
  tree.addTopLevelItems(top);
  // Open the folders of the record on screen.
  QTreeWidgetItem* at = nullptr;
  for (int index : FoldersToOpen(nodes, m_app.Document().m_record)) {
    at = at ? at->child(index) : tree.topLevelItem(index);
    if (!at) break;
    at->setExpanded(true);
  }
  tree.setUpdatesEnabled(true);
  m_bFilling = false;
}

void CAppCommands::OnTreeSelectionChanged() {
  if (m_bFilling) return;
  CProjectTree& tree = m_app.View()->Tree();
  const QList<QTreeWidgetItem*> selected = tree.selectedItems();
  if (selected.isEmpty()) return;
  const QTreeWidgetItem* item = selected.front();
  m_pCommands->OnTreeSelect(ItemOf(item));
  m_app.MainFrame()->UpdateFrameTitle();
}

void CAppCommands::PrintReport(QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return;
  {
    // The surface keeps the painter's state for its lifetime: it ends before the painter.
    framework::QtPainterSurface surface(painter);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    print::DrawReport(surface, page.width(), page.height(), m_app.Document(), m_app.View()->Curve());
  }
  painter.end();
  m_app.View()->update();  // the screen shows the refitted record
}

QPrinter& CAppCommands::Printer() {
  if (!m_pPrinter) {
    m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The report's fixed offsets, its 600-pixel emblem and its pens are device units of a
    // 600 dpi page: the page prints as it does from densora-cli.
    m_pPrinter->setResolution(600);
  }
  return *m_pPrinter;
}

void CAppCommands::OnFilePrint(bool withDialog) {
  QPrinter& printer = Printer();
  if (withDialog) {
    QPrintDialog dlg(&printer, m_app.MainFrame());
    if (dlg.exec() != QDialog::Accepted) return;
  }
  PrintReport(printer);
}

void CAppCommands::OnFilePrintPreview() {
  QPrintPreviewDialog dlg(&Printer(), m_app.MainFrame());
  QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                   [this](QPrinter* p) { PrintReport(*p); });
  dlg.resize(900, 1000);
  dlg.exec();
}

void CAppCommands::OnFilePrintSetup() {
  QPageSetupDialog dlg(&Printer(), m_app.MainFrame());
  dlg.exec();
}
