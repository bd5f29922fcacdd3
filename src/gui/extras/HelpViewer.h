#pragma once
// The manual viewer "佩莫拉帮助": the pages of Manual.pdf at 100 % with the bookmarks
// in a tree beside them (the topic shown is highlighted) and a search field over the
// text. One viewer serves every help request of the program; a request opens it at a
// bookmark found by its exact title. Back returns to where the last jump came from, the
// zoom buttons (Ctrl++, Ctrl+-, Ctrl+0) change the scale, Esc closes the window.
#include <QHash>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fields/UiPort.h"

class QIdentityProxyModel;
class QLineEdit;
class QListView;
class QToolButton;
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
  QListView* Results() const { return results_; }
  QPdfDocument* Document() const { return doc_; }
  QToolButton* BackButton() const { return back_; }
  // The scale the pages are shown at (1.0 is 100 %).
  double Zoom() const;
  void SetZoom(double factor);
  // One step up or down the usual scales (50 % … 300 %).
  void ZoomStep(int direction);
  // Back to the place the last jump left; false when there is none.
  bool GoBack();
  // The title of the bookmark highlighted in the tree (empty when none is).
  QString CurrentTopic() const;

  // A search result as the list shows it: "第 N 页  " and the words around the hit as
  // plain text on one line (the search model's own text is marked up for rich text).
  static QString PlainResultText(int page, const QString& before, const QString& hit, const QString& after);

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
  // Where the view stands now goes onto the back history (before a jump).
  void RememberPlace();
  void UpdateControls();
  // Esc, Alt+Left and the zoom keys.
  void BindKeys();
  // Highlights the bookmark `title` in the tree, or (empty title) the last bookmark at
  // or before the page shown unless the highlighted one is on that page already.
  void HighlightTopic(const QString& title = {});
  QModelIndex FindInTree(const std::function<bool(const QModelIndex&)>& match) const;

  // A place to come back to: the scroll position at a scale.
  struct Place {
    int scroll = 0;
    double zoom = 1.0;
  };
  std::vector<Place> history_;
  static constexpr size_t kMaxHistory = 50;
  QString wantedTopic_;  // the title of the last jump, highlighted once the tree fills

  QPdfDocument* doc_;
  QPdfBookmarkModel* bookmarks_;
  QPdfSearchModel* searchModel_;
  QPdfView* view_;
  QTreeView* tree_;
  QLineEdit* search_;
  QListView* results_;
  QIdentityProxyModel* resultText_;
  QLabel* pageLabel_;
  QToolButton* back_;
  QToolButton* zoomIn_;
  QToolButton* zoomOut_;
  QToolButton* zoomReset_;
  QLabel* zoomLabel_;
  QHash<QString, Target> pageOfTitle_;  // the first bookmark of each title, filled at loading
  QString loadedPath_;
  qint64 loadedStamp_ = -1;
};

}  // namespace pelmora::gui
