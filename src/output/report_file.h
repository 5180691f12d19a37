// The report file, appended to across runs; owned by the run driver.
#ifndef TAVREL_OUTPUT_REPORT_FILE_H_
#define TAVREL_OUTPUT_REPORT_FILE_H_

#include <string>

#include "output/console_text.h"
#include "platform/platform.h"

// Raised when the report file cannot be written.  Unlike other failures of
// a check or a folder level, it is never dropped: it ends the run with the
// failure message, so that a short report is never taken for a whole one.
struct ReportFailure : platform::Failure {
  using platform::Failure::Failure;
};

// Takes the opened report file.  An existing one (`append`) first gets an
// empty line after its earlier content.
void StartReportFile(platform::File file, bool append);
// Writes the name, unconverted, the words in the ANSI code page, then
// CR LF.  Raises ReportFailure.
void WriteReportLine(const std::string& name, const ProgramWords& words = ProgramWords());
// Writes out what is buffered and closes the file.  Raises ReportFailure.
void CloseReportFile();
// After a failure: writes out what it still can and closes, quietly.
void AbandonReportFile();

#endif  // TAVREL_OUTPUT_REPORT_FILE_H_
