#include "Gbk.h"

#include <cerrno>
#include <iconv.h>

namespace {

QByteArray convert(const char *to, const char *from, const QByteArray &input)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return {};
    QByteArray output(input.size() * 2 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(input.constData());
    size_t inLeft = size_t(input.size());
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
            if (errno == E2BIG) {
                const qsizetype used = out - output.data();
                output.resize(output.size() * 2);
                out = output.data() + used;
                outLeft = size_t(output.size() - used);
                continue;
            }
            // A character without a GBK form becomes '?'; a broken byte is skipped.
            ++in;
            --inLeft;
            if (outLeft > 0) {
                *out++ = '?';
                --outLeft;
            }
        }
    }
    iconv_close(cd);
    output.truncate(out - output.data());
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
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == iconv_t(-1)) {
        *badOffset = 0;
        return false;
    }
    QByteArray output(bytes.size() * 2 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    bool whole = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            continue;
        if (errno == E2BIG) {
            const qsizetype used = out - output.data();
            output.resize(output.size() * 2);
            out = output.data() + used;
            outLeft = size_t(output.size() - used);
            continue;
        }
        // EILSEQ: no character; EINVAL: the text ends inside one.
        whole = false;
        *badOffset = in - bytes.constData();
        break;
    }
    iconv_close(cd);
    if (whole) {
        output.truncate(out - output.data());
        *text = QString::fromUtf8(output);
    }
    return whole;
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
