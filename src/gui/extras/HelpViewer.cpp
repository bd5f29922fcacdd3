#include "gui/extras/HelpViewer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSearchModel>
#include <QPdfView>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace pelmora::gui {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("HelpViewer");
  setWindowTitle("佩莫拉帮助");
  doc_ = new QPdfDocument(this);
  // The outline model reads every entry (and the page it leads to) when it is given the
  // document, which takes longer than drawing a page: it is attached once the page
  // asked for is on the screen.
  bookmarks_ = new QPdfBookmarkModel(this);
  searchModel_ = new QPdfSearchModel(this);
  searchModel_->setDocument(doc_);

  view_ = new QPdfView(this);
  view_->setDocument(doc_);
  view_->setPageMode(QPdfView::PageMode::MultiPage);
  view_->setZoomMode(QPdfView::ZoomMode::Custom);
  view_->setZoomFactor(1.0);

  tree_ = new QTreeView(this);
  tree_->setObjectName("HelpBookmarks");
  tree_->setModel(bookmarks_);
  tree_->setHeaderHidden(true);
  connect(tree_, &QTreeView::activated, this, &HelpViewer::BookmarkActivated);
  connect(tree_, &QTreeView::clicked, this, &HelpViewer::BookmarkActivated);

  search_ = new QLineEdit(this);
  search_->setObjectName("HelpSearch");
  search_->setPlaceholderText("在手册中查找…");
  search_->setClearButtonEnabled(true);
  results_ = new QListView(this);
  results_->setObjectName("HelpResults");
  results_->setModel(searchModel_);
  connect(search_, &QLineEdit::textChanged, searchModel_, &QPdfSearchModel::setSearchString);
  connect(search_, &QLineEdit::returnPressed, this, [this] {
    if (searchModel_->rowCount({}) > 0) ResultActivated(searchModel_->index(0, 0));
  });
  connect(results_, &QListView::activated, this, &HelpViewer::ResultActivated);
  connect(results_, &QListView::clicked, this, &HelpViewer::ResultActivated);

  auto* tabs = new QTabWidget(this);
  tabs->addTab(tree_, "书签");
  auto* searchPage = new QWidget(this);
  auto* sl = new QVBoxLayout(searchPage);
  sl->setContentsMargins(2, 2, 2, 2);
  sl->addWidget(search_);
  sl->addWidget(results_);
  tabs->addTab(searchPage, "查找");

  pageLabel_ = new QLabel(this);
  auto* right = new QWidget(this);
  auto* rl = new QVBoxLayout(right);
  rl->setContentsMargins(0, 0, 0, 0);
  rl->addWidget(view_, 1);
  rl->addWidget(pageLabel_);
  connect(view_->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, [this](int page) {
    pageLabel_->setText(QString("第 %1 页，共 %2 页").arg(page + 1).arg(doc_->pageCount()));
  });

  auto* split = new QSplitter(this);
  split->addWidget(tabs);
  split->addWidget(right);
  split->setStretchFactor(1, 1);
  split->setSizes({260, 700});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(split);
  resize(1000, 760);
}

HelpViewer::~HelpViewer() {
  // The children are destroyed after this part of the object (by ~QWidget); what they
  // signal on the way (the page navigator's last page change) must not reach it.
  for (QObject* child : findChildren<QObject*>()) QObject::disconnect(child, nullptr, this, nullptr);
}

void HelpViewer::AttachOutline() {
  if (bookmarks_->document() == doc_ || doc_->status() != QPdfDocument::Status::Ready) return;
  bookmarks_->setDocument(doc_);
  tree_->expandToDepth(0);
  // Titles the list beside the PDF lacked.
  for (const auto& [title, page] : Bookmarks())
    if (!pageOfTitle_.contains(title)) pageOfTitle_.insert(title, {page, QPointF()});
}

void HelpViewer::JumpTo(int page, QPointF at) {
  if (page < 0 || page >= doc_->pageCount()) return;
  view_->setZoomMode(QPdfView::ZoomMode::Custom);
  view_->setZoomFactor(1.0);
  view_->pageNavigator()->jump(page, at, 1.0);
  // QtPdf 6.4 scrolls to the top of a page only, and not at all when the page is already
  // the current one: the place is set here, from the view's layout of the pages (stacked
  // with their spacing inside the document margins, points at 100 % on this screen).
  const double pixelsPerPoint = view_->logicalDpiY() / 72.0;
  double y = view_->documentMargins().top();
  for (int p = 0; p < page; ++p) y += doc_->pagePointSize(p).height() * pixelsPerPoint + view_->pageSpacing();
  view_->verticalScrollBar()->setValue(qRound(y + at.y() * pixelsPerPoint));
  pageLabel_->setText(QString("第 %1 页，共 %2 页").arg(page + 1).arg(doc_->pageCount()));
}

void HelpViewer::BookmarkActivated(const QModelIndex& index) {
  JumpTo(index.data(int(QPdfBookmarkModel::Role::Page)).toInt(),
         index.data(int(QPdfBookmarkModel::Role::Location)).toPointF());
}

void HelpViewer::ResultActivated(const QModelIndex& index) {
  const int page = index.data(int(QPdfSearchModel::Role::Page)).toInt();
  const QPointF where = index.data(int(QPdfSearchModel::Role::Location)).toPointF();
  view_->pageNavigator()->jump(page, where, 1.0);
  pageLabel_->setText(QString("第 %1 页，共 %2 页").arg(page + 1).arg(doc_->pageCount()));
}

int HelpViewer::CurrentPage() const { return view_->pageNavigator()->currentPage(); }

std::vector<std::pair<QString, int>> HelpViewer::Bookmarks() const {
  std::vector<std::pair<QString, int>> out;
  // Depth first, in outline order; the outline is small and its depth bounded.
  auto walk = [&](auto&& self, const QModelIndex& parent, int depth) -> void {
    if (depth > 16) return;
    for (int r = 0; r < bookmarks_->rowCount(parent); ++r) {
      QModelIndex i = bookmarks_->index(r, 0, parent);
      out.emplace_back(i.data(Qt::DisplayRole).toString(), i.data(int(QPdfBookmarkModel::Role::Page)).toInt());
      self(self, i, depth + 1);
    }
  };
  walk(walk, QModelIndex(), 0);
  return out;
}

std::optional<HelpViewer::Target> HelpViewer::FindBookmark(const QString& title) const {
  auto it = pageOfTitle_.constFind(title);
  if (it == pageOfTitle_.constEnd()) return std::nullopt;
  return *it;
}

HelpShown HelpViewer::Open(const HelpRequest& request) {
  HelpShown shown;
  const QString path = QString::fromStdString(request.manualPath);
  const QFileInfo info(path);
  const qint64 stamp = info.lastModified().toMSecsSinceEpoch();
  if (path != loadedPath_ || stamp != loadedStamp_ || doc_->status() != QPdfDocument::Status::Ready) {
    doc_->close();
    const QPdfDocument::Error e = doc_->load(path);
    if (e != QPdfDocument::Error::None) {
      loadedPath_.clear();
      pageOfTitle_.clear();
      shown.error = e == QPdfDocument::Error::FileNotFound ? "文件不存在" : "文件不是可读的PDF文档";
      return shown;
    }
    loadedPath_ = path;
    loadedStamp_ = stamp;
    bookmarks_->setDocument(nullptr);
    pageOfTitle_.clear();
    // The outline as the manual's generator listed it beside the PDF, read at once; the
    // PDF's own outline fills the tree right after the page is shown (and is searched
    // here when the list is missing).
    QFile index(path + ".idx");
    if (index.open(QIODevice::ReadOnly)) {
      for (int n = 0; n < 100000 && !index.atEnd(); ++n) {
        QByteArray line = index.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        const QList<QByteArray> f = line.split('\t');
        if (f.size() < 4) continue;
        const QString title = QString::fromUtf8(f.mid(3).join('\t'));
        const int page = f[0].toInt() - 1;
        if (page >= 0 && page < doc_->pageCount() && !pageOfTitle_.contains(title))
          pageOfTitle_.insert(title, {page, QPointF(0, f[2].toDouble())});
      }
    }
    if (pageOfTitle_.isEmpty())
      AttachOutline();
    else
      QTimer::singleShot(0, this, &HelpViewer::AttachOutline);
  }
  shown.opened = true;
  setWindowTitle(QString::fromStdString(request.viewerTitle));
  Target target;
  for (const std::string& t : request.titles) {
    if (auto found = FindBookmark(QString::fromStdString(t))) {
      shown.title = t;
      target = *found;
      break;
    }
  }
  shown.page = target.page + 1;
  show();
  raise();
  activateWindow();
  JumpTo(target.page, target.at);
  return shown;
}

}  // namespace pelmora::gui
