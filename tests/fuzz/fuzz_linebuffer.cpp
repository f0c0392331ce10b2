// Loading and writing lines: splitting never loses or invents bytes, and a written buffer reads
// back as the same lines.
#include "linebuffer.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    for (auto nul : {LineBuffer::Nul::EndsText, LineBuffer::Nul::Kept}) {
        const QList<QByteArray> lines = LineBuffer::split(text, nul);
        qsizetype bytes = 0;
        for (const QByteArray &line : lines) {
            if (line.contains('\r') || line.contains('\n'))
                abort();
            if (nul == LineBuffer::Nul::EndsText && line.contains('\0'))
                abort();
            bytes += line.size();
        }
        qsizetype expected = 0;
        const qsizetype end = nul == LineBuffer::Nul::EndsText && text.contains('\0') ? text.indexOf('\0') : text.size();
        for (qsizetype i = 0; i < end; ++i)
            if (text[i] != '\r' && text[i] != '\n')
                ++expected;
        if (bytes != expected)
            abort();
        // Written with CR LF and read again: the same lines.
        if (LineBuffer::split(LineBuffer::join(lines), nul) != lines)
            abort();
    }
    return 0;
}
