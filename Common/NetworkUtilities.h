// The HTTP client: each call runs one libcurl transfer from start to end on the calling thread
// and blocks until it is over (bounded by the time-outs below). Any thread may call them once
// the process-wide libcurl initialisation (static, in NetworkUtilities.cpp) has run.
//
// Time-outs and limits, added to the plain option set: connecting gives up after 30 s, a transfer
// moving under 1 byte/s for 60 s is aborted, and an answer body over 1 MiB fails the request.
// A failed request returns an empty string and writes one "ERROR" line to the log.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "Common/FormField.h"
#include "Common/NetworkCallback.h"

namespace NetworkUtilities {

// Plain GET; the answer body, or empty on any failure (HTTP status 400 or above included).
std::string HTTPGet(const std::u16string& url);

// multipart/form-data POST of `fields`, in order. `callback` receives OnStart, progress and
// OnFinish on this thread while it exists; an expired reference means no connection at all.
std::string HTTPPostMultipart(const std::u16string& url, const std::vector<FormField>& fields,
                              const std::weak_ptr<UploadCallback>& callback);

}  // namespace NetworkUtilities

// Growable answer buffer of one call.
struct ResponseBuffer {
  std::string bytes;
};

// CURLOPT_WRITEFUNCTION of both calls: appends to the ResponseBuffer at `buffer`. A block that
// would take the answer over kMaxAnswerBytes is refused (short count), failing the transfer.
std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* buffer);

inline constexpr std::size_t kMaxAnswerBytes = 1024 * 1024;

namespace bp {
// Test-only: shortens the connect time-out and the low-speed window (seconds). Never called by
// the program; tests use it so that a stalled peer does not cost a minute.
void SetTransferTimeoutsForTesting(long connectSeconds, long lowSpeedSeconds);
}  // namespace bp
