// The score-log reader and the text export on arbitrary bytes.
#include "FuzzCheck.h"
#include "document/ScoreLog.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = ScoreLog::textFromBytes(bytes);
    FUZZ_CHECK(text.isEmpty() == bytes.isEmpty());
    FUZZ_CHECK(text.isEmpty() || text.endsWith(QLatin1String("\r\n")));
    // A line end of one or two bytes shows as two characters, every other
    // byte as one, and an unterminated last line gets its CR LF.
    FUZZ_CHECK(text.size() >= bytes.size());

    const QByteArray out = ScoreLog::exportBytes(text);
    FUZZ_CHECK(out.endsWith("\r\n"));
    FUZZ_CHECK(!out.startsWith(' '));
    FUZZ_CHECK(out.size() <= text.size() + 2);
    return 0;
}
