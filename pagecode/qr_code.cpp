// qr_code.cpp -- encoding a text with libqrencode into our own module square.
#include "pagecode/qr_code.h"

#include <qrencode.h>  // Required for: QRcode_encodeData(), QRcode_free()

// Encodes the text, or gives side 0.
QrCode encode_qr(const std::string& text)
{
    QrCode code;
    if (text.empty())
        return code;
    QRcode* encoded = QRcode_encodeData(int(text.size()), reinterpret_cast<const unsigned char*>(text.data()),
                                        0, QR_ECLEVEL_M);
    if (encoded == nullptr)
        return code;
    code.side = encoded->width;
    code.dark.resize(size_t(code.side) * size_t(code.side));
    for (size_t i = 0; i < code.dark.size(); ++i)
        code.dark[i] = (encoded->data[i] & 1) != 0;  // bit 0: the module is dark
    QRcode_free(encoded);
    return code;
}
