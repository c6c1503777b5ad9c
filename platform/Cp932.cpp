#include "platform/Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace {

bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Converts all of `input`; on a sequence that does not convert, skips one byte when
// `skipInvalid`, else fails.
std::optional<std::string> convert(const char* to, const char* from, std::string input,
                                   bool skipInvalid)
{
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string output;
    char* in = input.data();
    size_t inLeft = input.size();
    bool failed = false;
    while (inLeft > 0 && !failed) {
        char buffer[256];
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(buffer, out);
        if (result != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        failed = !skipInvalid;
        if (skipInvalid) {
            ++in;
            --inLeft;
        }
    }
    iconv_close(converter);
    if (failed)
        return std::nullopt;
    return output;
}

} // namespace

std::optional<std::string> ToCp932(const QString& text)
{
    return convert("CP932", "UTF-8", text.toStdString(), false);
}

QString FromCp932(const std::string& bytes)
{
    return QString::fromStdString(convert("UTF-8", "CP932", bytes, true).value_or(""));
}

std::optional<QString> FromCp932Strict(const std::string& bytes)
{
    const std::optional<std::string> text = convert("UTF-8", "CP932", bytes, false);
    if (!text)
        return std::nullopt;
    return QString::fromStdString(*text);
}

std::string Cp932Prefix(const std::string& bytes, size_t limit)
{
    size_t end = 0;
    while (end < bytes.size()) {
        const size_t width = isLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        if (end + width > limit || end + width > bytes.size())
            break;
        end += width;
    }
    return bytes.substr(0, end);
}
