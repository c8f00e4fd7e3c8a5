#include "backends/qt/stand_ins_qt.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDate>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <QScreen>
#include <QUrl>
#include <cstdio>
#include <ctime>
#include <iostream>

namespace unw::qt {

SettingStatus MemorySettings::Read(const std::string& name, std::string& text) {
  auto it = values_.find(name);
  if (it == values_.end()) return SettingStatus::kMissing;
  text = it->second;
  return SettingStatus::kOk;
}

SettingStatus MemorySettings::Write(const std::string& name, const std::string& text) {
  values_[name] = text;
  return SettingStatus::kOk;
}

SettingStatus MemorySettings::Remove(const std::string& name) {
  return values_.erase(name) ? SettingStatus::kOk : SettingStatus::kMissing;
}

StorageStatus MemoryStorage::Read(const std::string& name, std::string& content) {
  auto it = files_.find(name);
  if (it == files_.end()) return StorageStatus::kNotFound;
  content = it->second;
  return StorageStatus::kOk;
}

StorageStatus MemoryStorage::ReadPieces(const std::string& name,
                                        const std::function<bool(std::string_view)>& piece) {
  auto it = files_.find(name);
  if (it == files_.end()) return StorageStatus::kNotFound;
  piece(it->second);
  return StorageStatus::kOk;
}

StorageStatus MemoryStorage::AppendDurably(const std::string& name, uint64_t& at,
                                           std::string_view bytes) {
  std::string& file = files_[name];
  if (at < file.size()) file.resize(at);
  file.append(bytes);
  at = file.size();
  return StorageStatus::kOk;
}

StorageStatus MemoryStorage::ReplaceAtomically(const std::string& name, std::string_view bytes) {
  files_[name] = std::string(bytes);
  return StorageStatus::kOk;
}

StorageStatus MemoryStorage::ReplaceInPieces(
    const std::string& name, const std::function<bool(const PieceWriter&)>& produce) {
  std::string out;
  if (!produce([&out](std::string_view piece) {
        out.append(piece);
        return true;
      }))
    return StorageStatus::kFailed;
  files_[name] = std::move(out);
  return StorageStatus::kOk;
}

StorageStatus MemoryStorage::WriteNewFile(const std::string& path, std::string_view bytes) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return StorageStatus::kFailed;
  const auto written = file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return written == static_cast<qint64>(bytes.size()) ? StorageStatus::kOk : StorageStatus::kFailed;
}

int64_t LocalCalendar::UtcMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

LocalTime LocalCalendar::ToLocal(int64_t utcMs) {
  const std::time_t seconds =
      static_cast<std::time_t>(utcMs >= 0 ? utcMs / 1000 : (utcMs - 999) / 1000);
  std::tm tm{};
  localtime_r(&seconds, &tm);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.weekday = (tm.tm_wday + 6) % 7;
  t.offsetMinutes = static_cast<int>(tm.tm_gmtoff / 60);
  return t;
}

int64_t LocalCalendar::FromLocal(const LocalTime& local) {
  std::tm tm{};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm)) * 1000;
}

std::string LocalCalendar::ShortTime(int hour, int minute) {
  return QLocale::system().toString(QTime(hour, minute), QLocale::ShortFormat).toStdString();
}

std::string LocalCalendar::ShortDayMonth(int month, int day) {
  // The locale's short date without its year.
  QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
  format.remove(QRegularExpression(QStringLiteral("[^dM]*y+[^dM]*")));
  if (format.isEmpty()) format = QStringLiteral("d/M");
  return QDate(2000, month, day).toString(format).toStdString();
}

int64_t QuietPresence::WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

ScreenRect QuietPresence::PointerWorkArea() {
  QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  const QRect r = screen->availableGeometry();
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

unsigned DesktopWorkstation::GetCaretBlinkTime() {
  const int flash = QApplication::cursorFlashTime();
  return flash > 0 ? static_cast<unsigned>(flash / 2) : 530;
}

std::string DesktopWorkstation::AppPath() {
  return QCoreApplication::applicationDirPath().toStdString();
}

std::string DesktopWorkstation::AppExeName() {
  return QCoreApplication::applicationName().toStdString();
}

bool BeepSound::PlayBeep(Beep) {
  QApplication::beep();
  return true;
}

BeepSound::~BeepSound() {
  for (auto& reader : readers_) reader.join();
}

void BeepSound::ReadFileAsync(const std::string& path, size_t maxBytes,
                              std::function<void(bool ok, std::string bytes)> done) {
  // Never opened on the program's thread: a file on a share that is gone may take long.
  readers_.emplace_back([this, path, maxBytes, done = std::move(done)]() mutable {
    QFile file(QString::fromStdString(path));
    const bool ok = file.open(QIODevice::ReadOnly) && static_cast<size_t>(file.size()) <= maxBytes;
    std::string bytes = ok ? file.readAll().toStdString() : std::string();
    QMetaObject::invokeMethod(
        &answers_,
        [done = std::move(done), ok, bytes = std::move(bytes)]() mutable {
          done(ok, std::move(bytes));
        },
        Qt::QueuedConnection);
  });
}

bool DesktopShell::OpenWebPage(std::uintptr_t, const std::string& url) {
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

bool DesktopShell::ProgramVersion(int& major, int& minor) {
  major = UNWINDLE_VERSION_MAJOR;
  minor = UNWINDLE_VERSION_MINOR;
  return true;
}

std::vector<std::string> EnvironmentLanguages::PreferredUiLanguages() {
  // LANGUAGE is a list; the others name one locale ("de_DE.UTF-8").
  std::vector<std::string> out;
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    const QStringList parts = QString::fromLocal8Bit(value).split(':', Qt::SkipEmptyParts);
    for (QString part : parts) {
      part = part.section('.', 0, 0).section('@', 0, 0).replace('_', '-');
      if (part == QLatin1String("C") || part == QLatin1String("POSIX")) continue;
      out.push_back(part.toStdString());
    }
    if (!out.empty()) break;
  }
  return out;
}

int64_t SoleInstance::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void StdConsole::Out(std::string_view text) {
  std::cout << text << std::flush;
}

void StdConsole::Err(std::string_view text) {
  std::cerr << text << std::flush;
}

}  // namespace unw::qt
