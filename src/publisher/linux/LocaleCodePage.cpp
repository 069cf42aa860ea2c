#include "publisher/linux/LocaleCodePage.h"

#include "common/Text.h"

#include <bit>
#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <stdexcept>
#include <strings.h>

namespace tessaly {

namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("no conversion from ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts all of in; on a unit it cannot convert it calls skip(in, left, out) to step over
    // it and write a replacement.
    template <typename Skip> std::string convert(const char* in, std::size_t left, Skip skip) const
    {
        std::string out;
        char buffer[1024];
        while (left > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            char* inPtr = const_cast<char*>(in);
            const std::size_t rc = iconv(cd_, &inPtr, &left, &outPtr, &outLeft);
            const int error = errno;
            in = inPtr;
            out.append(buffer, outPtr);
            if (rc != std::size_t(-1))
                continue;
            if (error == E2BIG)
                continue;
            // EILSEQ or a truncated sequence at the end (EINVAL): replace and go on.
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            skip(in, left, out);
        }
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, outPtr);
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

std::string LocaleCodeset()
{
    std::string codeset = "UTF-8";
    if (locale_t locale = newlocale(LC_CTYPE_MASK, "", locale_t(nullptr))) {
        const char* name = nl_langinfo_l(CODESET, locale);
        if (name && *name && strcasecmp(name, "ANSI_X3.4-1968") != 0 &&
            strcasecmp(name, "ASCII") != 0 && strcasecmp(name, "US-ASCII") != 0)
            codeset = name;
        freelocale(locale);
    }
    // A codeset iconv does not know would leave no conversion at all.
    const iconv_t probe = iconv_open(codeset.c_str(), kUtf16);
    if (probe == reinterpret_cast<iconv_t>(-1))
        return "UTF-8";
    iconv_close(probe);
    return codeset;
}

LocaleCodePage::LocaleCodePage() : LocaleCodePage(LocaleCodeset()) {}

LocaleCodePage::LocaleCodePage(std::string codeset) : codeset_(std::move(codeset))
{
    // Fail now rather than on every call.
    Iconv probe(codeset_.c_str(), kUtf16);
}

std::string LocaleCodePage::FromUnicode(std::u16string_view text) const
{
    Iconv conv(codeset_.c_str(), kUtf16);
    const char* begin = reinterpret_cast<const char*>(text.data());
    return conv.convert(begin, text.size() * 2,
                        [&](const char*& in, std::size_t& left, std::string& out) {
                            const auto* unit = reinterpret_cast<const char16_t*>(in);
                            std::size_t units = 1;
                            if (left >= 4 && IsHighSurrogate(unit[0]) && IsLowSurrogate(unit[1]))
                                units = 2;
                            const std::size_t bytes = std::min(left, units * 2);
                            in += bytes;
                            left -= bytes;
                            out += '?';
                        });
}

std::u16string LocaleCodePage::ToUnicode(std::string_view bytes) const
{
    Iconv conv(kUtf16, codeset_.c_str());
    const std::string utf16 = conv.convert(
        bytes.data(), bytes.size(), [](const char*& in, std::size_t& left, std::string& out) {
            ++in;
            --left;
            const char16_t replacement = u'\uFFFD';
            out.append(reinterpret_cast<const char*>(&replacement), 2);
        });
    std::u16string text(utf16.size() / 2, u'\0');
    std::copy(utf16.begin(), utf16.begin() + text.size() * 2, reinterpret_cast<char*>(text.data()));
    return text;
}

} // namespace tessaly
