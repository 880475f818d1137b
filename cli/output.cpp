#include "cli/output.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "cli/host.h"
#include "platform/error_text.h"

namespace lct::cli {
namespace {

constexpr int kNotWritten = 3;

// The errno of the first write to standard output that failed; 0 while none has.
int outputError = 0;
// Whether anything was written: a run that writes nothing has nothing to lose
// (and standard output may be closed for it).
bool wrote = false;

void noteFailure() {
    if (outputError == 0) outputError = errno != 0 ? errno : EIO;
}

}  // namespace

void printOut(std::string_view bytes) {
    if (outputError != 0 || bytes.empty()) return;
    wrote = true;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) noteFailure();
}

int finishOutput(int status) {
    if (!wrote) return status;
    errno = 0;
    if (std::fflush(stdout) != 0) noteFailure();
    // A close can still report what the flush did not (a file system that
    // writes on close).
    errno = 0;
    if (std::fclose(stdout) != 0) noteFailure();
    if (outputError == 0) return status;
    printError("lancitong-cli: 无法写入标准输出：" + errorText(outputError));
    return kNotWritten;
}

}  // namespace lct::cli
