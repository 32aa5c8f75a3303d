#include "ui/qt/help_text.h"

#include <QStringDecoder>

namespace velloran {
namespace {

constexpr char kHelpCodePage[] = "CP932";

}  // namespace

QString FromHelpCodePage(const std::string& bytes) {
    QStringDecoder decoder(kHelpCodePage);
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!decoder.isValid()) {
        return QString::fromUtf8(raw);
    }
    return decoder.decode(raw);
}

}  // namespace velloran
