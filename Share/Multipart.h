// MultipartBody: the body of a "multipart/form-data" post, written part by
// part. Each part is "--BOUNDARY\r\n", its header lines, "\r\n", its content
// and "\r\n"; the body ends with "--BOUNDARY--\r\n".
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class MultipartBody {
public:
    explicit MultipartBody(std::string boundary) : m_boundary(std::move(boundary)) {}

    // "multipart/form-data; boundary=BOUNDARY".
    std::string contentType() const { return "multipart/form-data; boundary=" + m_boundary; }

    // A part whose header lines (each ending in "\r\n") are `headers`.
    void addPart(std::string_view headers, std::span<const unsigned char> content);
    // A text field: "Content-Disposition: form-data; name="NAME"".
    void addField(std::string_view name, std::string_view value);

    // The finished body; the builder is left empty.
    std::vector<unsigned char> finish();

private:
    void append(std::string_view text) { m_body.insert(m_body.end(), text.begin(), text.end()); }

    std::string m_boundary;
    std::vector<unsigned char> m_body;
};

}  // namespace vantrel
