#include "Common/NetworkUtilities.h"

#include <atomic>
#include <cstdio>
#include <curl/curl.h>

#include "Common/LogMessage.h"
#include "Common/TransferCallbacks.h"
#include "util/TextConversion.h"

// libcurl 7.88 marks the form interface (curl_formadd, CURLOPT_HTTPPOST) and the double-based
// progress callback deprecated; this client is built on them, so the warning is off here only.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

// The build path this file has on the product's original platform; it names the file in log lines.
constexpr char16_t kSourceFile[] = u"..\\Common\\NetworkUtilities.cpp";

std::atomic<long> gConnectTimeoutSeconds{30};
std::atomic<long> gLowSpeedSeconds{60};

// Runs once during static initialisation, ahead of the application object's constructor.
struct CurlGlobalInit {
  CurlGlobalInit() {
    std::printf("Initing %s\n", "libcurl");
    CURLcode result = curl_global_init(CURL_GLOBAL_ALL);
    std::printf("libcurl Global Inited: %s\n", curl_easy_strerror(result));
  }
};
__attribute__((init_priority(60000))) CurlGlobalInit gCurlGlobalInit;

struct EasyCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;

struct FormFree {
  void operator()(curl_httppost* form) const { curl_formfree(form); }
};
using FormHandle = std::unique_ptr<curl_httppost, FormFree>;

// The options both calls add after the plain set: bounds on connecting and on a stalled peer.
void SetTimeouts(CURL* handle) {
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, gConnectTimeoutSeconds.load());
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, gLowSpeedSeconds.load());
}

const char* ContentTypeOf(std::int32_t kind) {
  switch (kind) {
    case ContentsOctetStream:
    case FileOctetStream:
      return "applicationx/octet-stream";
    case ContentsFormData:
      return "form/data";
    case ContentsTextPlain:
    case FileTextPlain:
      return "text/plain";
    default:
      return nullptr;
  }
}

void AddField(curl_httppost*& first, curl_httppost*& last, const FormField& field) {
  switch (field.kind) {
    case Contents:
      curl_formadd(&first, &last, CURLFORM_COPYNAME, field.name.c_str(), CURLFORM_COPYCONTENTS, field.value.data(),
                   CURLFORM_CONTENTSLENGTH, static_cast<long>(field.value.size()), CURLFORM_END);
      break;
    case ContentsOctetStream:
    case ContentsFormData:
    case ContentsTextPlain:
      curl_formadd(&first, &last, CURLFORM_COPYNAME, field.name.c_str(), CURLFORM_COPYCONTENTS, field.value.data(),
                   CURLFORM_CONTENTSLENGTH, static_cast<long>(field.value.size()), CURLFORM_CONTENTTYPE,
                   ContentTypeOf(field.kind), CURLFORM_END);
      break;
    case FileOctetStream:
    case FileTextPlain:
      curl_formadd(&first, &last, CURLFORM_COPYNAME, field.name.c_str(), CURLFORM_FILE, field.value.c_str(),
                   CURLFORM_CONTENTTYPE, ContentTypeOf(field.kind), CURLFORM_END);
      break;
    default:
      break;  // unknown kinds add no part
  }
}

// Calls OnFinish as the very last action of HTTPPostMultipart, however it is left.
class FinishCall {
 public:
  FinishCall(const std::weak_ptr<UploadCallback>& callback, const CURLcode& code) : callback_(callback), code_(code) {}
  ~FinishCall() {
    try {
      if (std::shared_ptr<UploadCallback> object = callback_.lock()) object->OnFinish(false, code_);
    } catch (...) {
      // The receiver's failure cannot change the outcome any more.
    }
  }
  FinishCall(const FinishCall&) = delete;
  FinishCall& operator=(const FinishCall&) = delete;

 private:
  const std::weak_ptr<UploadCallback>& callback_;
  const CURLcode& code_;
};

}  // namespace

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* buffer) {
  auto* response = static_cast<ResponseBuffer*>(buffer);
  if (count != 0 && size > kMaxAnswerBytes / count) return 0;
  std::size_t n = size * count;
  if (n > kMaxAnswerBytes - response->bytes.size()) return 0;
  try {
    response->bytes.append(data, n);
  } catch (...) {
    return 0;
  }
  return n;
}

namespace NetworkUtilities {

std::string HTTPGet(const std::u16string& url) {
  std::string utf8Url = WideToUtf8(url);
  ResponseBuffer buffer;
  EasyHandle handle(curl_easy_init());
  CURL* easy = handle.get();
  curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(easy, CURLOPT_URL, utf8Url.c_str());
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &AppendBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &buffer);
  SetTimeouts(easy);
  CURLcode code = curl_easy_perform(easy);
  std::string result;
  if (code != CURLE_OK) {
    LogMessage(__LINE__, false, kSourceFile, u"NetworkUtilities::HTTPGet", u"ERROR").stream
        << u"request " << url << u" failed: " << curl_easy_strerror(code);
  } else {
    result = buffer.bytes;
  }
  return result;
}

std::string HTTPPostMultipart(const std::u16string& url, const std::vector<FormField>& fields,
                              const std::weak_ptr<UploadCallback>& callback) {
  if (std::shared_ptr<UploadCallback> object = callback.lock()) object->OnStart();
  CURLcode code = CURLE_OK;
  FinishCall finish(callback, code);

  TransferContext context{callback};
  std::string utf8Url = WideToUtf8(url);
  ResponseBuffer buffer;
  curl_httppost* first = nullptr;
  curl_httppost* last = nullptr;
  FormHandle form;

  EasyHandle handle(curl_easy_init());
  CURL* easy = handle.get();
  curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(easy, CURLOPT_URL, utf8Url.c_str());
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &AppendBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &buffer);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_PROGRESSFUNCTION, &ReportProgress);
  curl_easy_setopt(easy, CURLOPT_PROGRESSDATA, &context);
  curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &OpenSocket);
  curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, &context);
  SetTimeouts(easy);

  // Build the form with plain pointers and own it only once complete: curl_formadd links each
  // part into first/last itself, and a refused part simply stays out.
  for (const FormField& field : fields) AddField(first, last, field);
  form.reset(first);

  curl_easy_setopt(easy, CURLOPT_HTTPPOST, form.get());
  code = curl_easy_perform(easy);
  form.reset();

  std::string result;
  if (code != CURLE_OK) {
    LogMessage(__LINE__, false, kSourceFile, u"NetworkUtilities::HTTPPostMultipart", u"ERROR").stream
        << u"request " << url << u" failed: " << curl_easy_strerror(code);
  } else {
    result = buffer.bytes;
  }
  handle.reset();
  return result;
}

}  // namespace NetworkUtilities

namespace bp {
void SetTransferTimeoutsForTesting(long connectSeconds, long lowSpeedSeconds) {
  gConnectTimeoutSeconds = connectSeconds;
  gLowSpeedSeconds = lowSpeedSeconds;
}
}  // namespace bp
