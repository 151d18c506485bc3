#include "quenarch/qt/desktop_text_codec.h"

#include <QByteArray>
#include <QStringDecoder>

#include <mutex>

namespace quenarch::qt {
namespace {

// Decodes every text with one encoding. A QStringDecoder keeps state between calls, so one
// decoder serves all calls, each from a fresh state, one at a time.
class EncodingCodec final : public TextCodec {
public:
    explicit EncodingCodec(QStringDecoder decoder) : decoder_(std::move(decoder)) {}

    std::string decode(std::string_view bytes) const override
    {
        const auto input = QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()));
        std::lock_guard lock(mutex_);
        decoder_.resetState();
        const QString text = decoder_.decode(input);
        return text.toStdString();
    }

private:
    mutable std::mutex mutex_;
    mutable QStringDecoder decoder_;
};

} // namespace

std::shared_ptr<const TextCodec> makeTextCodec(std::string_view encodingName)
{
    if (encodingName.empty()) return std::make_shared<Utf8OrWindows1252Codec>();
    QStringDecoder decoder(std::string(encodingName).c_str());
    if (!decoder.isValid()) return nullptr;
    return std::make_shared<EncodingCodec>(std::move(decoder));
}

} // namespace quenarch::qt
