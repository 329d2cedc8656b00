#include "Share/Multipart.h"

namespace vantrel {

void MultipartBody::addPart(std::string_view headers, std::span<const unsigned char> content) {
    append("--");
    append(m_boundary);
    append("\r\n");
    append(headers);
    append("\r\n");
    m_body.insert(m_body.end(), content.begin(), content.end());
    append("\r\n");
}

void MultipartBody::addField(std::string_view name, std::string_view value) {
    const std::string headers =
        "Content-Disposition: form-data; name=\"" + std::string(name) + "\"\r\n";
    addPart(headers, std::span(reinterpret_cast<const unsigned char*>(value.data()), value.size()));
}

std::vector<unsigned char> MultipartBody::finish() {
    append("--");
    append(m_boundary);
    append("--\r\n");
    return std::move(m_body);
}

}  // namespace vantrel
