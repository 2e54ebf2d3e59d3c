// The failure report that the top-level handler and the runtime's exit hook share.
#include "failure_report.h"

#include "process.h"

#include <atomic>

namespace {

std::atomic<FailureReport> currentReport{&showErrorBox};

} // namespace

void setFailureReport(FailureReport report)
{
    currentReport = report != nullptr ? report : &showErrorBox;
}

void reportFailure(const std::exception& failure)
{
    currentReport.load()(failure);
}
