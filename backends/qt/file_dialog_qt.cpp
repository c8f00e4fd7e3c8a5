#include "backends/qt/file_dialog_qt.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "backends/qt/form_view_qt.h"

namespace unw {

namespace {

std::string Chosen(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace

bool QtFileDialog::FolderExists(const std::string& path) {
  if (path.empty()) return false;
  struct Answer {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false, folder = false;
  };
  auto answer = std::make_shared<Answer>();
  std::thread([answer, path] {
    const bool folder = QFileInfo(QString::fromStdString(path)).isDir();
    std::lock_guard<std::mutex> lock(answer->mutex);
    answer->folder = folder;
    answer->done = true;
    answer->cv.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(answer->mutex);
  answer->cv.wait_for(lock, std::chrono::milliseconds(kFolderWaitMs), [&] { return answer->done; });
  return answer->done && answer->folder;
}

std::string QtFileDialog::ChooseSoundFile(std::uintptr_t owner, const std::string& initialDir,
                                          const std::string& initialFile, const std::string& title,
                                          SoundPreviewSink& preview) {
  trace_.Line("files.open", {initialDir, initialFile, title});
  QFileDialog dialog(view_.WindowOf(owner), QString::fromStdString(title),
                     QString::fromStdString(initialDir), QStringLiteral("*.wav *.WAV"));
  dialog.setObjectName(QStringLiteral("dlgSound"));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!initialFile.empty()) dialog.selectFile(QString::fromStdString(initialFile));
  // The preview row under the dialog's own controls.
  auto* row = new QWidget(&dialog);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(QStringLiteral("Preview:"), row));
  auto* play = new QPushButton(QStringLiteral("Play"), row);
  play->setObjectName(QStringLiteral("cmdPlay"));
  auto* stop = new QPushButton(QStringLiteral("Stop"), row);
  stop->setObjectName(QStringLiteral("cmdStop"));
  layout->addWidget(play);
  layout->addWidget(stop);
  layout->addStretch();
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
    grid->addWidget(row, grid->rowCount(), 0, 1, grid->columnCount());
  QObject::connect(&dialog, &QFileDialog::currentChanged, [&preview](const QString& path) {
    preview.SelectionChanged(path.toStdString());
  });
  QObject::connect(play, &QPushButton::clicked, [&preview] { preview.PlayPressed(); });
  QObject::connect(stop, &QPushButton::clicked, [&preview] { preview.StopPressed(); });
  const std::string path = Chosen(dialog);
  preview.Closing();
  trace_.Line("files.chosen", {path});
  return path;
}

std::string QtFileDialog::ChooseSaveFile(std::uintptr_t owner, const std::string& initialDir,
                                         const std::string& initialFile, const std::string& title) {
  trace_.Line("files.save", {initialDir, initialFile, title});
  QFileDialog dialog(view_.WindowOf(owner), QString::fromStdString(title),
                     QString::fromStdString(initialDir), QStringLiteral("*.csv"));
  dialog.setObjectName(QStringLiteral("dlgSave"));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  if (!initialFile.empty()) dialog.selectFile(QString::fromStdString(initialFile));
  const std::string path = Chosen(dialog);
  trace_.Line("files.chosen", {path});
  return path;
}

std::string QtFileDialog::ChooseProgramFile(std::uintptr_t owner, const std::string& title) {
  trace_.Line("files.program", {title});
  QFileDialog dialog(view_.WindowOf(owner), QString::fromStdString(title),
                     QStringLiteral("/usr/bin"));
  dialog.setObjectName(QStringLiteral("dlgProgram"));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setFilter(QDir::Files | QDir::Executable | QDir::AllDirs | QDir::NoDotAndDotDot);
  const std::string path = Chosen(dialog);
  trace_.Line("files.chosen", {path});
  return path;
}

}  // namespace unw
