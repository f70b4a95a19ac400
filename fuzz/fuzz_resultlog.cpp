// The class results' reader of result logs on arbitrary bytes: a log is a
// result whose figures hold together, not a result, or unreadable with a
// reason; never half of one.
#include "FuzzCheck.h"
#include "classresults/ResultLog.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ResultRead r = ResultLog::parse(bytes, QStringLiteral("fuzz.log"));
    if (r.outcome == ResultRead::Outcome::Unreadable)
        FUZZ_CHECK(!r.reason.isEmpty());
    if (r.outcome == ResultRead::Outcome::Result) {
        const StudentResult &s = r.result;
        FUZZ_CHECK(s.total >= 0 && s.total <= 100);
        FUZZ_CHECK(s.score >= 0 && s.score <= s.total);
        FUZZ_CHECK(s.percent >= 0 && s.percent <= 100);
        FUZZ_CHECK(s.seconds >= 0);
        FUZZ_CHECK(s.given.size() == s.total && s.right.size() == s.total);
    }
    return 0;
}
