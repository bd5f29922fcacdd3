#include "gui/extras/HelpViewer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIdentityProxyModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSearchModel>
#include <QPdfView>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

namespace pelmora::gui {

namespace {

// The scales the zoom buttons step through.
constexpr double kZooms[] = {0.5, 0.67, 0.8, 1.0, 1.25, 1.5, 2.0, 3.0};

// The search results as the list shows them: the search model's display text is meant
// for a rich-text delegate ("<b>" around the hit, the page's line breaks kept).
class ResultTextModel : public QIdentityProxyModel {
 public:
  ResultTextModel(QPdfSearchModel* search, QObject* parent) : QIdentityProxyModel(parent), search_(search) {
    setSourceModel(search);
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return QIdentityProxyModel::data(index, role);
    const QModelIndex s = mapToSource(index);
    return HelpViewer::PlainResultText(
        s.data(int(QPdfSearchModel::Role::Page)).toInt(), s.data(int(QPdfSearchModel::Role::ContextBefore)).toString(),
        search_->searchString(), s.data(int(QPdfSearchModel::Role::ContextAfter)).toString());
  }

 private:
  QPdfSearchModel* search_;
};

QToolButton* ToolButton(QWidget* parent, const char* name, const QString& text, const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(text);
  b->setToolTip(tip);
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  b->setAutoRaise(true);
  return b;
}

}  // namespace

QString HelpViewer::PlainResultText(int page, const QString& before, const QString& hit, const QString& after) {
  // A line break of the page (QtPdf marks it with "⏎") between two Chinese characters is
  // no space in the text; elsewhere it is one blank. Control characters do not belong in
  // a one-line list either.
  auto wide = [](QChar c) { return c.unicode() >= 0x2E80; };
  auto isBreak = [](QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar(0x23CE) || c == QChar(0x2028) || c == QChar(0x2029) || c == u'\v' ||
           c == u'\f' || c == u'\t' || c.category() == QChar::Other_Control;
  };
  const QString raw = before + hit + after;
  const qsizetype hitStart = before.size(), hitEnd = before.size() + hit.size();
  QString out;
  out.reserve(raw.size());
  qsizetype outStart = -1, outEnd = -1;  // where the hit lies in `out`
  for (qsizetype i = 0; i < raw.size(); ++i) {
    if (i >= hitStart && outStart < 0) outStart = out.size();
    if (i >= hitEnd && outEnd < 0) outEnd = out.size();
    if (!isBreak(raw[i])) {
      out += raw[i];
      continue;
    }
    qsizetype j = i;
    while (j + 1 < raw.size() && isBreak(raw[j + 1])) ++j;
    const bool join = !out.isEmpty() && wide(out.back()) && j + 1 < raw.size() && wide(raw[j + 1]);
    if (!join) out += u' ';
    i = j;
  }
  if (outStart < 0) outStart = out.size();
  if (outEnd < 0) outEnd = out.size();
  // A few words either side, so that the hit stands near the start of the row.
  constexpr qsizetype kBefore = 16, kAfter = 40;
  QString b = out.left(outStart), a = out.mid(outEnd);
  if (b.trimmed().size() > kBefore) b = "…" + b.right(kBefore);
  if (a.trimmed().size() > kAfter) a = a.left(kAfter) + "…";
  return QString("第 %1 页  %2").arg(page + 1).arg((b + out.mid(outStart, outEnd - outStart) + a).simplified());
}

void HelpViewer::BindKeys() {
  // Keys: Esc closes the viewer (as the close box does), Alt+Left goes back, and the
  // usual zoom keys.
  auto key = [this](const QKeySequence& k, auto&& f) {
    auto* sc = new QShortcut(k, this);
    sc->setContext(Qt::WindowShortcut);
    connect(sc, &QShortcut::activated, this, f);
  };
  key(QKeySequence(Qt::Key_Escape), [this] { close(); });
  key(QKeySequence::Back, [this] { GoBack(); });
  key(QKeySequence::ZoomIn, [this] { ZoomStep(1); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { ZoomStep(1); });
  key(QKeySequence::ZoomOut, [this] { ZoomStep(-1); });
  key(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { SetZoom(1.0); });
}

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
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(tree_, &QTreeView::activated, this, &HelpViewer::BookmarkActivated);
  connect(tree_, &QTreeView::clicked, this, &HelpViewer::BookmarkActivated);

  search_ = new QLineEdit(this);
  search_->setObjectName("HelpSearch");
  search_->setPlaceholderText("在手册中查找…");
  search_->setClearButtonEnabled(true);
  results_ = new QListView(this);
  results_->setObjectName("HelpResults");
  resultText_ = new ResultTextModel(searchModel_, this);
  results_->setModel(resultText_);
  results_->setUniformItemSizes(true);
  connect(search_, &QLineEdit::textChanged, searchModel_, &QPdfSearchModel::setSearchString);
  connect(search_, &QLineEdit::returnPressed, this, [this] {
    if (resultText_->rowCount({}) > 0) ResultActivated(resultText_->index(0, 0));
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

  // Above the pages: back, the zoom, and the page shown.
  pageLabel_ = new QLabel(this);
  back_ = ToolButton(this, "HelpBack", "← 后退", "回到上次跳转前的位置（Alt+←）");
  zoomOut_ = ToolButton(this, "HelpZoomOut", "缩小", "缩小（Ctrl+-）");
  zoomReset_ = ToolButton(this, "HelpZoom100", "100%", "实际大小（Ctrl+0）");
  zoomIn_ = ToolButton(this, "HelpZoomIn", "放大", "放大（Ctrl++）");
  zoomLabel_ = new QLabel(this);
  zoomLabel_->setObjectName("HelpZoom");
  connect(back_, &QToolButton::clicked, this, [this] { GoBack(); });
  connect(zoomOut_, &QToolButton::clicked, this, [this] { ZoomStep(-1); });
  connect(zoomReset_, &QToolButton::clicked, this, [this] { SetZoom(1.0); });
  connect(zoomIn_, &QToolButton::clicked, this, [this] { ZoomStep(1); });
  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(4, 2, 12, 2);
  bar->addWidget(back_);
  bar->addSpacing(12);
  bar->addWidget(zoomOut_);
  bar->addWidget(zoomReset_);
  bar->addWidget(zoomIn_);
  bar->addWidget(zoomLabel_);
  bar->addStretch(1);
  bar->addWidget(pageLabel_);
  auto* right = new QWidget(this);
  auto* rl = new QVBoxLayout(right);
  rl->setContentsMargins(0, 0, 0, 0);
  rl->setSpacing(0);
  rl->addLayout(bar);
  rl->addWidget(view_, 1);
  connect(view_->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, [this](int page) {
    pageLabel_->setText(QString("第 %1 页，共 %2 页").arg(page + 1).arg(doc_->pageCount()));
    HighlightTopic();
  });

  BindKeys();

  auto* split = new QSplitter(this);
  split->addWidget(tabs);
  split->addWidget(right);
  split->setStretchFactor(1, 1);
  split->setSizes({260, 700});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(split);
  resize(1000, 760);
  UpdateControls();
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
  HighlightTopic(wantedTopic_);
  // Titles the list beside the PDF lacked.
  for (const auto& [title, page] : Bookmarks())
    if (!pageOfTitle_.contains(title)) pageOfTitle_.insert(title, {page, QPointF()});
}

void HelpViewer::JumpTo(int page, QPointF at) {
  if (page < 0 || page >= doc_->pageCount()) return;
  view_->setZoomMode(QPdfView::ZoomMode::Custom);
  view_->pageNavigator()->jump(page, at, Zoom());
  // QtPdf 6.4 scrolls to the top of a page only, and not at all when the page is already
  // the current one: the place is set here, from the view's layout of the pages (stacked
  // with their spacing inside the document margins, points at the zoom on this screen).
  const double pixelsPerPoint = view_->logicalDpiY() / 72.0 * Zoom();
  double y = view_->documentMargins().top();
  for (int p = 0; p < page; ++p) y += doc_->pagePointSize(p).height() * pixelsPerPoint + view_->pageSpacing();
  view_->verticalScrollBar()->setValue(qRound(y + at.y() * pixelsPerPoint));
  pageLabel_->setText(QString("第 %1 页，共 %2 页").arg(page + 1).arg(doc_->pageCount()));
}

void HelpViewer::BookmarkActivated(const QModelIndex& index) {
  RememberPlace();
  wantedTopic_ = index.data(Qt::DisplayRole).toString();
  JumpTo(index.data(int(QPdfBookmarkModel::Role::Page)).toInt(),
         index.data(int(QPdfBookmarkModel::Role::Location)).toPointF());
}

void HelpViewer::ResultActivated(const QModelIndex& index) {
  const int page = index.data(int(QPdfSearchModel::Role::Page)).toInt();
  const QPointF where = index.data(int(QPdfSearchModel::Role::Location)).toPointF();
  RememberPlace();
  view_->pageNavigator()->jump(page, where, Zoom());
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
  // A request while the viewer is up can be gone back from; each opens at 100 %.
  if (isVisible()) RememberPlace();
  show();
  raise();
  activateWindow();
  SetZoom(1.0);
  wantedTopic_ = QString::fromStdString(shown.title);
  JumpTo(target.page, target.at);
  HighlightTopic(wantedTopic_);
  return shown;
}

double HelpViewer::Zoom() const { return view_->zoomFactor(); }

void HelpViewer::SetZoom(double factor) {
  factor = std::clamp(factor, kZooms[0], std::end(kZooms)[-1]);
  QScrollBar* bar = view_->verticalScrollBar();
  // The place in the document stays where it was, as a share of its height.
  const double share = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0.0;
  view_->setZoomMode(QPdfView::ZoomMode::Custom);
  view_->setZoomFactor(factor);
  bar->setValue(qRound(share * bar->maximum()));
  UpdateControls();
}

void HelpViewer::ZoomStep(int direction) {
  const double now = Zoom();
  if (direction > 0) {
    for (double z : kZooms)
      if (z > now + 1e-3) return SetZoom(z);
  } else {
    for (auto it = std::rbegin(kZooms); it != std::rend(kZooms); ++it)
      if (*it < now - 1e-3) return SetZoom(*it);
  }
}

void HelpViewer::RememberPlace() {
  if (doc_->status() != QPdfDocument::Status::Ready) return;
  if (history_.size() >= kMaxHistory) history_.erase(history_.begin());
  history_.push_back({view_->verticalScrollBar()->value(), Zoom()});
  UpdateControls();
}

bool HelpViewer::GoBack() {
  if (history_.empty()) return false;
  const Place p = history_.back();
  history_.pop_back();
  SetZoom(p.zoom);
  view_->verticalScrollBar()->setValue(p.scroll);
  UpdateControls();
  return true;
}

void HelpViewer::UpdateControls() {
  back_->setEnabled(!history_.empty());
  const double z = Zoom();
  zoomOut_->setEnabled(z > kZooms[0] + 1e-3);
  zoomIn_->setEnabled(z < std::end(kZooms)[-1] - 1e-3);
  zoomLabel_->setText(QString("%1 %").arg(qRound(z * 100)));
}

QModelIndex HelpViewer::FindInTree(const std::function<bool(const QModelIndex&)>& match) const {
  QModelIndex found;
  // Depth first, in outline order; the outline's depth is bounded.
  auto walk = [&](auto&& self, const QModelIndex& parent, int depth) -> void {
    if (depth > 16) return;
    for (int r = 0; r < bookmarks_->rowCount(parent); ++r) {
      QModelIndex i = bookmarks_->index(r, 0, parent);
      if (match(i)) found = i;
      self(self, i, depth + 1);
    }
  };
  walk(walk, QModelIndex(), 0);
  return found;
}

void HelpViewer::HighlightTopic(const QString& title) {
  if (bookmarks_->document() != doc_) return;  // the tree fills later and highlights then
  QModelIndex index;
  const int pageRole = int(QPdfBookmarkModel::Role::Page);
  if (!title.isEmpty()) {
    bool first = true;  // the first bookmark of that title, as the jump took
    index = FindInTree([&](const QModelIndex& i) {
      if (!first || i.data(Qt::DisplayRole).toString() != title) return false;
      first = false;
      return true;
    });
  }
  if (!index.isValid()) {
    const int page = CurrentPage();
    const QModelIndex now = tree_->currentIndex();
    if (now.isValid() && now.data(pageRole).toInt() == page) return;
    int best = -1;
    index = FindInTree([&](const QModelIndex& i) {
      const int p = i.data(pageRole).toInt();
      if (p > page || p < best) return false;
      best = p;
      return true;
    });
  }
  if (!index.isValid()) return;
  tree_->setCurrentIndex(index);
  tree_->scrollTo(index);
}

QString HelpViewer::CurrentTopic() const {
  const QModelIndex i = tree_->currentIndex();
  return i.isValid() ? i.data(Qt::DisplayRole).toString() : QString();
}

}  // namespace pelmora::gui
