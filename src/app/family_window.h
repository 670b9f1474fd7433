#pragma once
// The Family of Curves window: the chart of every member curve of one standard and method
// under a folder of the projects tree, with the spine, and beside it the table of the tests,
// each of which can be left out (the choice is kept in the folder). Print and Export as PDF
// give the family's page. The window reads the folder through the program's cache, so that
// a folder read once opens again at once; a long first reading shows its progress and can
// be cancelled.
#include <QAbstractTableModel>
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "file/family_folder.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QPagedPaintDevice;
class QPrinter;
class QPushButton;
class QTableView;
class CFamilyChartView;

// The table of a family's candidates: one row for each test of the standard and method with
// a usable fit, checked while it is a member. Rows are formatted only as they are shown.
class CFamilyTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kTest, kCounty, kTestType, kDate, kMdd, kOmc, kStandard, kMethod, kColumns };

  void Reset(std::vector<FolderTest> rows, const std::set<std::string>* unchecked,
             double densityFactor, QString densityUnit);
  const FolderTest& Row(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
  // The members' places in the family by file, for the colour each row shows of its curve.
  void SetMembers(std::unordered_map<std::string, std::size_t> members);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // A row's check changed: the file and whether it is now in.
  std::function<void(const std::string& file, bool checked)> m_onCheck;

 private:
  std::vector<FolderTest> m_rows;
  std::unordered_map<std::string, std::size_t> m_members;
  const std::set<std::string>* m_unchecked = nullptr;
  double m_factor = 1.0;
  QString m_unit;
};

class CFamilyWindow : public QDialog {
  Q_OBJECT
 public:
  struct Context {
    FamilyCache* cache = nullptr;
    std::string projectsDir;  // UTF-8
    int units = 0;            // kEnglish or kMetric
    // Starts a one-point test of the family in `folderName` (below the projects directory).
    std::function<void(const std::string& folderName, const FamilyKey& key)> newOnePoint;
    // Export as PDF: asks for the file, proposing `proposed`, and writes what `render` draws.
    std::function<void(const std::string& proposed,
                       const std::function<std::vector<unsigned char>()>& render)>
        exportPdf;
  };

  // The window of the family under `folder` (UTF-8, a path on disk).
  CFamilyWindow(Context context, std::string folder, QWidget* parent);
  ~CFamilyWindow() override;

  // Reads the folder's tests (progress and Cancel when it takes a while) and shows the family
  // of the standard and method most of them share. False when the user cancelled or the folder
  // could not be read (the message has been shown).
  bool Load();
  // Reads the folder again (only the files changed since, through the cache) and shows what
  // changed, keeping the standard and method on show while the folder still has it. The
  // window does this by itself when it becomes active again, and on F5.
  void Reload();

  const Family& CurrentFamily() const { return m_family; }
  CFamilyTableModel& Table() { return m_model; }
  QLabel* LeftOutLabel() const { return m_pLeftOut; }
  QLabel* ShortageLabel() const { return m_pShortage; }
  // The folder's name below the projects directory ("." for the projects directory itself).
  const std::string& FolderName() const { return m_folderName; }

  // Draws the family's page on a printer (or a PDF writer's page).
  void PrintPage(QPagedPaintDevice& device);
  void OnPrint();
  void OnExportPdf();
  // The family's page as a PDF (one Letter page); empty when it could not be drawn.
  std::vector<unsigned char> PdfBytes();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The folder's tests through the cache, with progress and Cancel when it takes a while;
  // nullopt when cancelled or the folder could not be read (the message has been shown).
  std::optional<std::vector<FolderTest>> Scan();
  // Shows `tests`: their standards and methods, and `key` when they have it, else the one
  // most of them share.
  void Show(std::vector<FolderTest> tests, const FamilyKey* key);
  void Select(const FamilyKey& key);
  void Refresh();
  void OnCheck(const std::string& file, bool checked);

  Context m_context;
  std::string m_folder;
  std::string m_folderName;
  std::string m_shownName;  // the folder's name, or the projects directory's path
  std::vector<FolderTest> m_tests;
  std::vector<FamilyKey> m_keys;
  FamilyKey m_key;
  std::set<std::string> m_unchecked;
  Family m_family;
  CFamilyTableModel m_model;
  QComboBox* m_pKeys = nullptr;
  CFamilyChartView* m_pChart = nullptr;
  QTableView* m_pTable = nullptr;
  QLabel* m_pShortage = nullptr;
  QLabel* m_pLeftOut = nullptr;
  QPushButton* m_pNewOnePoint = nullptr;
  std::unique_ptr<QPrinter> m_pPrinter;
  bool m_wasInactive = false;  // left for another window since the folder was last read
};
