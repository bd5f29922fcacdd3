#include "gui/FileDialogs.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>
#include <algorithm>

namespace pelmora::gui {

namespace {

// The columns of the file list: 名称, 大小, 类型, 修改日期.
class ChineseColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4) {
      static const char* const names[] = {"名称", "大小", "类型", "修改日期"};
      return QString::fromUtf8(names[section]);
    }
    return QIdentityProxyModel::headerData(section, orientation, role);
  }

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole || index.column() < 1 || index.column() > 3)
      return QIdentityProxyModel::data(index, role);
    const QFileInfo info = files->fileInfo(mapToSource(index));
    switch (index.column()) {
      case 1: return info.isDir() ? QString() : Size(info.size());
      case 2:
        if (info.isDir()) return QString::fromUtf8("文件夹");
        if (info.isSymLink()) return QString::fromUtf8("快捷方式");
        return info.suffix().isEmpty() ? QString::fromUtf8("文件") : info.suffix() + QString::fromUtf8(" 文件");
      default: return QLocale(QLocale::Chinese, QLocale::China).toString(info.lastModified(), "yyyy-MM-dd HH:mm");
    }
  }

 private:
  static QString Size(qint64 bytes) {
    const QLocale zh(QLocale::Chinese, QLocale::China);
    if (bytes < 1024) return zh.toString(bytes) + " 字节";
    if (bytes < 1024 * 1024) return zh.toString(bytes / 1024.0, 'f', 1) + " KB";
    return zh.toString(bytes / (1024.0 * 1024.0), 'f', 1) + " MB";
  }
};

}  // namespace

void MakeChinese(QFileDialog& dialog) {
  // The desktop's own dialog would follow the system's language.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  // The filters name their pattern themselves ("Pelmora 项目文件（*.pmf）").
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setProxyModel(new ChineseColumns(&dialog));
  // Room for long project names and whole dates.
  dialog.resize(std::max(dialog.width(), 780), std::max(dialog.height(), 460));
  if (auto* list = dialog.findChild<QTreeView*>("treeView")) {
    list->header()->resizeSection(0, 300);
    list->header()->resizeSection(3, 130);
  }
  dialog.setLabelText(QFileDialog::LookIn, QString::fromUtf8("查找范围："));
  dialog.setLabelText(QFileDialog::FileName, QString::fromUtf8("文件名："));
  dialog.setLabelText(QFileDialog::FileType, QString::fromUtf8("文件类型："));
  dialog.setLabelText(QFileDialog::Accept,
                      QString::fromUtf8(dialog.acceptMode() == QFileDialog::AcceptSave ? "保存" : "打开"));
  dialog.setLabelText(QFileDialog::Reject, QString::fromUtf8("取消"));
}

}  // namespace pelmora::gui
