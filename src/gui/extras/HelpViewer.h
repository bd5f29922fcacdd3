#pragma once
// The manual viewer "佩莫拉帮助": the pages of Manual.pdf at 100 % with the bookmarks
// in a tree beside them and a search field over the text. One viewer serves every help
// request of the program; a request opens it at a bookmark found by its exact title.
#include <QHash>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "fields/UiPort.h"

class QLineEdit;
class QListView;
class QModelIndex;
class QPdfBookmarkModel;
class QPdfDocument;
class QPdfSearchModel;
class QPdfView;
class QTreeView;
class QLabel;

namespace pelmora::gui {

class HelpViewer : public QWidget {
  Q_OBJECT

 public:
  explicit HelpViewer(QWidget* parent = nullptr);
  ~HelpViewer() override;

  // Loads the manual (again only when another file or a changed one is asked for),
  // shows the window and jumps to the first of the titles that is a bookmark.
  HelpShown Open(const HelpRequest& request);

  // Gives the outline model the document (the bookmarks tree fills).
  void AttachOutline();
  // The page shown (from 0), the bookmark titles with their pages (0-based), in outline order.
  int CurrentPage() const;
  std::vector<std::pair<QString, int>> Bookmarks() const;
  QPdfView* View() const { return view_; }
  QTreeView* Tree() const { return tree_; }
  QLineEdit* SearchField() const { return search_; }
  QPdfSearchModel* Search() const { return searchModel_; }
  QPdfDocument* Document() const { return doc_; }

 private:
  // Where a bookmark leads: the page (from 0) and the point on it, in points from the top left.
  struct Target {
    int page = 0;
    QPointF at;
  };
  void JumpTo(int page, QPointF at = {});
  void BookmarkActivated(const QModelIndex& index);
  void ResultActivated(const QModelIndex& index);
  std::optional<Target> FindBookmark(const QString& title) const;

  QPdfDocument* doc_;
  QPdfBookmarkModel* bookmarks_;
  QPdfSearchModel* searchModel_;
  QPdfView* view_;
  QTreeView* tree_;
  QLineEdit* search_;
  QListView* results_;
  QLabel* pageLabel_;
  QHash<QString, Target> pageOfTitle_;  // the first bookmark of each title, filled at loading
  QString loadedPath_;
  qint64 loadedStamp_ = -1;
};

}  // namespace pelmora::gui
