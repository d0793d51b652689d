#include "files/path_bytes.h"

#include "encoding/gbk_codec.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace tavrin {
namespace {

constexpr char16_t kFirstEscape = 0xDC80; // stands for byte 0x80
constexpr char16_t kLastEscape = 0xDCFF;  // stands for byte 0xFF

// The length of the strictly valid UTF-8 sequence at `p` (no overlong form, no
// surrogate, nothing above U+10FFFF), 0 when none starts there.
int sequenceAt(const uchar* p, qsizetype left)
{
    const uchar lead = p[0];
    if (lead < 0x80)
        return 1;
    const int length = lead >= 0xC2 && lead <= 0xDF ? 2
        : lead >= 0xE0 && lead <= 0xEF              ? 3
        : lead >= 0xF0 && lead <= 0xF4              ? 4
                                                    : 0;
    if (length == 0 || left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    }
    const uchar second = p[1];
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90)
        || (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

void appendUtf8(QByteArray& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool isEscape(char16_t c)
{
    return c >= kFirstEscape && c <= kLastEscape;
}

// The one name in `folder` that Qt decodes to `shown`; empty when none or several do.
QByteArray nameShownAs(const QByteArray& folder, const QString& shown)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.isEmpty() ? "." : folder.constData()), ::closedir);
    if (!dir)
        return {};
    QByteArray found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (QString::fromUtf8(entry->d_name) == shown && ++matches == 1)
            found = entry->d_name;
    }
    return matches == 1 ? found : QByteArray();
}

bool statOf(const QString& path, struct stat& st)
{
    return !path.isEmpty() && ::stat(encodePath(path).constData(), &st) == 0;
}

} // namespace

QByteArray encodePath(const QString& path)
{
    QByteArray out;
    out.reserve(path.size());
    const char16_t* p = reinterpret_cast<const char16_t*>(path.utf16());
    const char16_t* const end = p + path.size();
    while (p < end) {
        const char16_t c = *p++;
        if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p))
            appendUtf8(out, QChar::surrogateToUcs4(c, *p++));
        else if (isEscape(c))
            out += char(c - 0xDC00);
        else if (QChar::isSurrogate(c))
            appendUtf8(out, 0xFFFD); // as Qt writes a surrogate without its other half
        else
            appendUtf8(out, c);
    }
    return out;
}

QString decodePath(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    const uchar* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    while (p < end) {
        const int length = sequenceAt(p, end - p);
        if (length == 0) {
            out += QChar(char16_t(0xDC00 + *p++));
        } else {
            out += QString::fromUtf8(reinterpret_cast<const char*>(p), length);
            p += length;
        }
    }
    return out;
}

bool hasForeignBytes(const QString& path)
{
    return std::any_of(path.cbegin(), path.cend(), [](QChar c) { return isEscape(c.unicode()); });
}

QString pathFromUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return QString();
    return decodePath(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QString pathFromToolkit(const QString& path)
{
    if (!path.contains(QChar::ReplacementCharacter) || pathExists(path))
        return path;
    QByteArray bytes = path.startsWith(u'/') ? QByteArray("/") : QByteArray();
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QByteArray name = encodePath(parts[i]);
        if (parts[i].contains(QChar::ReplacementCharacter)) {
            name = nameShownAs(bytes, parts[i]);
            if (name.isEmpty())
                return path;
        }
        bytes += name;
        if (i + 1 < parts.size())
            bytes += '/';
    }
    return decodePath(bytes);
}

QString pathArgument(const QString& path)
{
    if (!hasForeignBytes(path))
        return path;
    return QStringLiteral("file://") + QString::fromLatin1(encodePath(path).toPercentEncoding("/"));
}

QString pathFromArgument(QByteArrayView argument)
{
    static constexpr QByteArrayView kFileAddress = "file://";
    if (argument.startsWith(kFileAddress))
        return decodePath(QByteArray::fromPercentEncoding(argument.sliced(kFileAddress.size()).toByteArray()));
    return decodePath(argument);
}

QString displayName(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (!hasForeignBytes(name))
        return name;
    // A GBK name may hold pairs that happen to be UTF-8 as well (CC B8 of 谈): unless
    // the name holds real UTF-8 Chinese (three bytes a character), the whole of it is
    // read as GBK when it can be; else each run of bytes that are not UTF-8.
    const bool holdsUtf8Chinese =
        std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() >= 0x800 && !isEscape(c.unicode()); });
    qsizetype unreadable = 0;
    const QString whole = decodeGbk(encodePath(name), &unreadable);
    if (!holdsUtf8Chinese && unreadable == 0)
        return whole;
    QString shown;
    QByteArray run;
    for (const QChar c : name) {
        if (isEscape(c.unicode())) {
            run += char(c.unicode() - 0xDC00);
            continue;
        }
        shown += decodeGbk(run);
        run.clear();
        shown += c;
    }
    return shown + decodeGbk(run);
}

bool pathExists(const QString& path)
{
    struct stat st;
    return statOf(path, st);
}

bool isRegularFile(const QString& path)
{
    struct stat st;
    return statOf(path, st) && S_ISREG(st.st_mode);
}

bool isFolder(const QString& path)
{
    struct stat st;
    return statOf(path, st) && S_ISDIR(st.st_mode);
}

} // namespace tavrin
