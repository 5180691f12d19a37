#include "output/report_file.h"

#include <utility>

#include "output/output_lock.h"

namespace {

// As standard output: few writes, however many lines.
constexpr std::size_t kFlushSize = 64 * 1024;

platform::File report;
std::string pending;
bool failed = false;

void Flush() {
  if (pending.empty()) return;
  if (failed) throw ReportFailure("report file");
  try {
    report.Write(pending.data(), pending.size());
  } catch (const platform::Failure&) {
    // What the system took stays in the file; nothing is written again.
    failed = true;
    pending.clear();
    throw ReportFailure("report file");
  }
  pending.clear();
}

}  // namespace

void StartReportFile(platform::File file, bool append) {
  const OutputLock lock;
  report = std::move(file);
  failed = false;
  pending = append ? "\r\n" : "";
}

void WriteReportLine(const std::string& name, const ProgramWords& words) {
  const OutputLock lock;
  pending += name;
  pending += words.ansi;
  pending += "\r\n";
  if (pending.size() >= kFlushSize) Flush();
}

void CloseReportFile() {
  const OutputLock lock;
  Flush();
  try {
    report.Close();
  } catch (const platform::Failure&) {
    throw ReportFailure("report file");
  }
}

void AbandonReportFile() {
  const OutputLock lock;
  try {
    Flush();
  } catch (const platform::Failure&) {
  }
  try {
    report.Close();
  } catch (const platform::Failure&) {
  }
}
