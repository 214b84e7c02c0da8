// One part of a multipart form, in the order of the parts on the wire.
#pragma once
#include <cstdint>
#include <string>

enum FormFieldKind : std::int32_t {
  Contents = 0,             // contents part, no content type
  ContentsOctetStream = 1,  // contents part, "applicationx/octet-stream"
  ContentsFormData = 2,     // contents part, "form/data"
  ContentsTextPlain = 3,    // contents part, "text/plain"
  FileOctetStream = 4,      // file part, "applicationx/octet-stream"
  FileTextPlain = 5,        // file part, "text/plain"
  // any other value: no part, skipped silently
};

struct FormField {
  std::int32_t kind = Contents;
  std::string name;   // ends on the wire at its first NUL byte
  std::string value;  // the part's bytes (contents kinds) or the file's path (file kinds)
};
