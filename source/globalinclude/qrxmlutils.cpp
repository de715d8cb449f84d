#include "qrxmlutils.h"

#include "qrxmlstringwriter.h"

extern "C" const IID IID_iqrXMLWriter = __uuidof(iqrXMLWriter);
extern "C" const IID IID_iqrXMLStringWriter = __uuidof(iqrXMLStringWriter);

HRESULT CreateXMLStringWriter(iqrXMLStringWriter** writer) {
    if (!writer) return E_POINTER;
    *writer = nullptr;
    return winkit::CreateComInstance<QRXMLStringWriter>(nullptr, IID_iqrXMLStringWriter,
                                                        reinterpret_cast<void**>(writer));
}
