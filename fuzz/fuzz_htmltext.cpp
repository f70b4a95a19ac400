// The HTML text and link scanner of the question readers on arbitrary text:
// the plain text has no tags left to break a record, and every link is
// listed once.
#include "FuzzCheck.h"
#include "exchange/HtmlText.h"

#include <QSet>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString plain = HtmlText::toPlain(html);
    FUZZ_CHECK(plain.size() <= html.size() * 2 + 2);
    const QStringList links = HtmlText::mediaLinks(html);
    FUZZ_CHECK(QSet<QString>(links.begin(), links.end()).size() == links.size());
    // A plain text made HTML reads back as itself.
    FUZZ_CHECK(HtmlText::toPlain(HtmlText::fromPlain(plain)) == plain);
    return 0;
}
