// ardeno-tool export IN.ard OUT.html [--format web]: the web quiz is a
// format of the question format registry; the tool adds it there before
// any command runs, and the exchange commands do the rest.

#include "webquiz/WebQuizFormat.h"

namespace {
const bool webQuizRegistered = (WebQuizFormat::registerFormat(), true);
}
