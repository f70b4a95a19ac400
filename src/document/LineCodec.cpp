#include "document/LineCodec.h"

namespace LineCodec {
QByteArray apply(QByteArray line, unsigned char key)
{
    for (char &c : line)
        c = char(static_cast<unsigned char>(c) ^ key);
    return line;
}
}
