// The recovery copy's reader on arbitrary bytes: the first two input bytes
// (little-endian) say how long the description is; the test's bytes follow it. A copy is read
// whole, or refused with a reason; what it gives back is a test that saves.
#include "FuzzCheck.h"
#include "document/RecoveryFormat.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t split = std::min(size - 2, size_t(data[0]) | size_t(data[1]) << 8);
    const QByteArray description(reinterpret_cast<const char *>(data + 2), qsizetype(split));
    const QByteArray test(reinterpret_cast<const char *>(data + 2 + split), qsizetype(size - 2 - split));
    QString error;
    const auto header = RecoveryFormat::parseDescriptionHeader(description, &error);
    FUZZ_CHECK(header.has_value() || !error.isEmpty());
    const RecoveryFormat::ReadResult r = RecoveryFormat::parse(description, test);
    FUZZ_CHECK(r.copy.has_value() != !r.error.isEmpty());
    if (r.copy) {
        FUZZ_CHECK(r.copy->work.records.size() <= 100);
        // What came back is written again as a test.
        FUZZ_CHECK(!RecoveryFormat::testBytes(r.copy->work).isEmpty());
    }
    return 0;
}
