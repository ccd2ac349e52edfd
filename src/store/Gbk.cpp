#include "Gbk.h"

#include <cerrno>
#include <iconv.h>

namespace {

// Converts with iconv. Leniently (badOffset null): a character without a form in the
// target becomes '?' and a broken byte is skipped. Strictly: the first byte that does not
// convert (EILSEQ, or EINVAL when the input ends inside a character) stops the conversion,
// its offset goes to *badOffset and false comes back.
bool convert(const char *to, const char *from, const QByteArray &input, QByteArray *output,
             qsizetype *badOffset = nullptr)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) {
        if (badOffset)
            *badOffset = 0;
        return false;
    }
    output->resize(input.size() * 2 + 16);
    char *in = const_cast<char *>(input.constData());
    size_t inLeft = size_t(input.size());
    char *out = output->data();
    size_t outLeft = size_t(output->size());
    bool whole = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            continue;
        if (errno == E2BIG) {
            const qsizetype used = out - output->data();
            output->resize(output->size() * 2);
            out = output->data() + used;
            outLeft = size_t(output->size() - used);
            continue;
        }
        if (badOffset) {
            whole = false;
            *badOffset = in - input.constData();
            break;
        }
        ++in;
        --inLeft;
        if (outLeft > 0) {
            *out++ = '?';
            --outLeft;
        }
    }
    iconv_close(cd);
    output->truncate(out - output->data());
    return whole;
}

QByteArray convert(const char *to, const char *from, const QByteArray &input)
{
    QByteArray output;
    convert(to, from, input, &output);
    return output;
}

} // namespace

QByteArray Gbk::encode(const QString &text)
{
    return convert("GBK", "UTF-8", text.toUtf8());
}

QString Gbk::decode(const QByteArray &bytes)
{
    return QString::fromUtf8(convert("UTF-8", "GBK", bytes));
}

bool Gbk::decodeStrict(const QByteArray &bytes, QString *text, qsizetype *badOffset)
{
    QByteArray utf8;
    if (!convert("UTF-8", "GB18030", bytes, &utf8, badOffset))
        return false;
    *text = QString::fromUtf8(utf8);
    return true;
}

QString Gbk::cut(const QString &text, int maxBytes)
{
    int bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype step = text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        const int width = int(encode(text.mid(end, step)).size());
        if (bytes + width > maxBytes)
            break;
        bytes += width;
        end += step;
    }
    return text.left(end);
}
