#include "gui/Extras.h"

#include <dlfcn.h>
#include <unistd.h>

#include <stdexcept>

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

#include "fields/Version.h"
#include "gui/Widgets.h"

namespace pelmora::gui::extras {

namespace {

const Table* linked = nullptr;
const Table* loaded = nullptr;
std::string loadError;
std::string loadedFrom;

std::string ExecutableFolder() {
  std::string path = QCoreApplication::instance() ? QCoreApplication::applicationDirPath().toStdString() : "";
  if (path.empty()) {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
      path.assign(buffer, static_cast<size_t>(n));
      path = path.substr(0, path.rfind('/'));
    }
  }
  return path;
}

const Table* Load(std::string* error) {
  std::string reasons;
  for (const std::string& file : ModuleCandidates()) {
    if (access(file.c_str(), R_OK) != 0) continue;
    // RTLD_NOW: a module that cannot bind every symbol fails here, not at a later click.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      reasons += file + "：" + (why ? why : "无法载入") + "\n";
      continue;
    }
    using Entry = const Table* (*)();
    auto entry = reinterpret_cast<Entry>(dlsym(handle, "pelmora_extras_table"));
    const Table* table = entry ? entry() : nullptr;
    if (!table || table->version != kVersion) {
      reasons += file + "：版本不符\n";
      dlclose(handle);
      continue;
    }
    loadedFrom = file;
    return table;  // the module stays loaded for the rest of the run
  }
  if (reasons.empty()) reasons = "找不到 " + std::string(kModuleFile) + "（程序文件夹及其 ../lib/pelmora/）";
  if (error) *error = reasons;
  return nullptr;
}

}  // namespace

void UseLinked(const Table* table) { linked = table; }

std::string LoadedFrom() { return loadedFrom; }

std::vector<std::string> ModuleCandidates() {
  const std::string folder = ExecutableFolder();
  if (folder.empty()) return {};
  return {folder + "/" + kModuleFile, folder + "/../lib/pelmora/" + kModuleFile};
}

const Table* Parts(std::string* error) {
  if (linked) return linked;
  if (!loaded && loadError.empty()) loaded = Load(&loadError);
  if (!loaded && error) *error = loadError;
  return loaded;
}

std::string ReportPdfBytes(const CalcSheet& sheet, const std::function<void(chart::Canvas&)>& chart,
                           const SheetPageSize& page) {
  std::string error;
  const Table* parts = Parts(&error);
  if (!parts) throw std::runtime_error("PDF 输出部件无法载入。" + error);
  return parts->reportPdfBytes(sheet, chart, page);
}

QWidget* NewHelpViewer(std::string* error) {
  const Table* parts = Parts(error);
  return parts ? parts->newHelpViewer() : nullptr;
}

HelpShown OpenHelp(QWidget* viewer, const HelpRequest& request) {
  const Table* parts = Parts();
  if (!parts || !viewer) return HelpShown{false, "", 1, "帮助窗口部件无法载入"};
  return parts->openHelp(viewer, request);
}

void PrintReport(QWidget* parent, TFormPelmora& form) {
  std::string error;
  const Table* parts = Parts(&error);
  if (!parts) {
    QMessageBox::warning(parent, Q(PELMORA_NAME_ZH), Q("打印部件无法载入，不能打印报表。\n" + error));
    return;
  }
  parts->printReport(parent, form);
}

void PrintSheet(QWidget* parent, TFormPelmora& form, const CalcSheet& sheet,
                const std::function<void(chart::Canvas&)>& chart) {
  std::string error;
  const Table* parts = Parts(&error);
  if (!parts) {
    QMessageBox::warning(parent, Q(PELMORA_NAME_ZH), Q("打印部件无法载入，不能打印计算书。\n" + error));
    return;
  }
  parts->printSheet(parent, form, sheet, chart);
}

void PrintChart(QWidget* parent, const std::string& job, const ChartPainter& paint) {
  std::string error;
  const Table* parts = Parts(&error);
  if (!parts) {
    QMessageBox::warning(parent, Q(PELMORA_NAME_ZH), Q("打印部件无法载入，不能打印图表。\n" + error));
    return;
  }
  parts->printChart(parent, job, paint);
}

}  // namespace pelmora::gui::extras
