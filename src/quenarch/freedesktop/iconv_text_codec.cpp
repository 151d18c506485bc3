#include "quenarch/freedesktop/iconv_text_codec.h"

#include "quenarch/base/utf8.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <string>

namespace quenarch::freedesktop {
namespace {

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

// Decodes every text with one encoding. A conversion keeps state between calls, so one serves all
// calls, each from a fresh state, one at a time.
class IconvCodec final : public TextCodec {
public:
    explicit IconvCodec(iconv_t conversion) : conversion_(conversion) {}
    ~IconvCodec() override { iconv_close(conversion_); }
    IconvCodec(const IconvCodec&) = delete;
    IconvCodec& operator=(const IconvCodec&) = delete;

    std::string decode(std::string_view bytes) const override
    {
        std::string text;
        text.reserve(bytes.size());
        char* in = const_cast<char*>(bytes.data()); // iconv takes char**, but does not write the input
        std::size_t inLeft = bytes.size();
        char buffer[1024];
        const auto convert = [&](char** input, std::size_t* inputLeft) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(conversion_, input, inputLeft, &out, &outLeft);
            const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
            text.append(buffer, static_cast<std::size_t>(out - buffer));
            return error;
        };
        std::lock_guard lock(mutex_);
        iconv(conversion_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            const int error = convert(&in, &inLeft);
            if (error == EILSEQ || error == EINVAL) {
                // A sequence that is not of the encoding, or one cut short at the end: one
                // replacement character stands for its first byte, and reading goes on after it.
                text.append(replacementCharacter);
                ++in;
                --inLeft;
                iconv(conversion_, nullptr, nullptr, nullptr, nullptr);
            } else if (error != 0 && error != E2BIG) {
                break;
            }
        }
        convert(nullptr, nullptr); // back to the initial shift state
        // The C library's UTF-8 takes sequences for code points beyond U+10FFFF (lead bytes F5
        // to F7) and writes them out again: the text handed on is UTF-8 whatever iconv passed.
        if (!isValidUtf8(text)) return decodeUtf8Lossy(text);
        return text;
    }

private:
    iconv_t conversion_;
    mutable std::mutex mutex_;
};

} // namespace

std::shared_ptr<const TextCodec> makeTextCodec(std::string_view encodingName)
{
    if (encodingName.empty()) return std::make_shared<Utf8OrWindows1252Codec>();
    const iconv_t conversion = iconv_open("UTF-8", std::string(encodingName).c_str());
    if (conversion == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return std::make_shared<IconvCodec>(conversion);
}

} // namespace quenarch::freedesktop
